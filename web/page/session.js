// A session with the engine: it starts the engine, asks it whether it takes
// a position, has it search for a move or analyse without a limit, and asks
// it for its evaluation report. Each search reports its info lines and its
// best move to its own handlers; each report comes to the session's onReport.
import { Engine } from './engine.js';
import { parseInfo, parseReport, REPORT_FIRST_LINE, REPORT_LAST_LINE } from './info.js';

const INVALID_FEN = 'info string invalid FEN: ';

// The levels of play, from the weakest: each limits the engine's search by
// depth (in plies) or by the positions it looks at.
export const LEVELS = [
  { name: 'Beginner', words: 'Sees only its own next move.', go: 'depth 1' },
  { name: 'Casual player', words: 'Looks two moves ahead.', go: 'depth 3' },
  { name: 'Club player', words: 'Weighs some twenty thousand positions a move.', go: 'nodes 20000' },
  { name: 'Strong club player', words: 'Weighs some two hundred thousand positions a move.', go: 'nodes 200000' },
  { name: 'Expert', words: 'Weighs a million positions a move.', go: 'nodes 1000000' },
];

export class EngineSession {
  // onReady(times) when the engine has answered uci: {firstLine, uciok}, the
  // ms from the page's start to its first line and from the Worker's start
  // to uciok; onReport(report, side) for each evaluation report,
  // onError(sentence) when the engine cannot run.
  constructor({ onReady, onReport, onError }) {
    this.ready = false;
    this.onReport = onReport;
    this.reportLines = null;
    this.reportSides = []; // the side to move of each report asked for, in order
    this.checks = []; // the position checks waiting for readyok, in order
    const started = performance.now();
    let firstLine = null;
    this.engine = new Engine({
      onError,
      onLine: (line) => {
        firstLine ??= performance.now();
        if (line === 'uciok') {
          this.ready = true;
          onReady({ firstLine: Math.round(firstLine), uciok: Math.round(performance.now() - started) });
          return;
        }
        if (this.checks.length > 0 && this.takeCheckLine(line)) return;
        this.collectReport(line);
      },
    });
    this.engine.send('uci');
  }

  newGame() {
    this.engine.send('ucinewgame');
  }

  // Asks for the evaluation report of the position, in which side is to
  // move; onReport(report, side) gets it.
  evaluate(position, side) {
    this.reportSides.push(side);
    this.engine.send(position);
    this.engine.send('eval');
  }

  // Resolves to null when the engine takes the position command, else to
  // its sentence on why not. Any line ends a search, so the page asks only
  // while the engine is idle.
  checkPosition(position) {
    return new Promise((resolve) => {
      this.checks.push({ problem: null, resolve });
      this.engine.send(position);
      this.engine.send('isready');
    });
  }

  takeCheckLine(line) {
    const check = this.checks[0];
    if (line === 'readyok') {
      this.checks.shift();
      check.resolve(check.problem);
      return true;
    }
    if (!line.startsWith(INVALID_FEN)) return false;
    check.problem ??= line.slice(INVALID_FEN.length);
    return true;
  }

  // Searches the position with the go line; onInfo gets each info line read
  // into values ({depth, score, pv, …}; with a mate score also mateDepth,
  // the depth that first found that mate), onBestMove the answer's move
  // word ("0000" when there is none). Returns the search, for cancel().
  search(position, goLine, { onInfo, onBestMove }) {
    let mate = null;
    return this.engine.search(position, goLine, {
      onInfo: (line) => {
        const info = parseInfo(line);
        if (info.score === undefined) return;
        if (info.score.mate === undefined) mate = null;
        else if (mate?.score !== info.score.mate) mate = { score: info.score.mate, depth: info.depth };
        onInfo(mate ? { ...info, mateDepth: mate.depth } : info);
      },
      onBestMove,
    });
  }

  // Ends the running search; its answer comes as usual.
  stop() {
    this.engine.stop();
  }

  // Ends every search still running; their answers are dropped.
  cancel() {
    this.engine.cancelSearches();
  }

  collectReport(line) {
    if (REPORT_FIRST_LINE.test(line)) this.reportLines = [];
    if (this.reportLines === null) return;
    this.reportLines.push(line);
    if (REPORT_LAST_LINE.test(line)) {
      this.onReport(parseReport(this.reportLines), this.reportSides.shift());
      this.reportLines = null;
    }
  }
}
