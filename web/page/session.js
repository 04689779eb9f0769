// A session with the engine: it starts the engine, has it search for a move
// or analyse without a limit, and asks it for its evaluation report. Each
// search reports its info lines and its best move to its own handlers; the
// report comes to the session's onReport.
import { Engine } from './engine.js';
import { parseInfo, parseReport, REPORT_FIRST_LINE, REPORT_LAST_LINE } from './info.js';

export class EngineSession {
  // onReady(ms) when the engine has answered uci, onReport(report) for each
  // evaluation report, onError(sentence) when the engine cannot run.
  constructor({ onReady, onReport, onError }) {
    this.ready = false;
    this.onReport = onReport;
    this.reportLines = null;
    const started = performance.now();
    this.engine = new Engine({
      onError,
      onLine: (line) => {
        if (line === 'uciok') {
          this.ready = true;
          onReady(Math.round(performance.now() - started));
          return;
        }
        this.collectReport(line);
      },
    });
    this.engine.send('uci');
  }

  newGame() {
    this.engine.send('ucinewgame');
  }

  // Asks for the evaluation report of the position.
  evaluate(position) {
    this.engine.send(position);
    this.engine.send('eval');
  }

  // Searches the position with the go line; onInfo gets each info line read
  // into values ({depth, score, pv, …}), onBestMove the answer's move word
  // ("0000" when there is none). Returns the search, for cancel().
  search(position, goLine, { onInfo, onBestMove }) {
    return this.engine.search(position, goLine, {
      onInfo: (line) => {
        const info = parseInfo(line);
        if (info.score !== undefined) onInfo(info);
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
      this.onReport(parseReport(this.reportLines));
      this.reportLines = null;
    }
  }
}
