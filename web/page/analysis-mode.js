// The page's analysis board: while it is shown, the board, the move list
// and the engine panel belong to it rather than to the game in play. It ties
// the analysis line (analysis.js), the review (review.js), the shared view
// and its own part of the page (analysis-view.js) together.
import { Analysis, looksLikeFen, readPgn } from './analysis.js';
import { completeFen, positionResult, START_FEN } from './game.js';
import { endEvaluation, evaluationOf, judgeMoves, REVIEW_SETTINGS, Review } from './review.js';
import {
  chosenSetting,
  drawEvalBar,
  drawGraph,
  drawProgress,
  drawSummary,
  markMoves,
  offerSettings,
  onStepKey,
  readStart,
  setStartProblem,
  showFollowing,
  showMode,
} from './analysis-view.js';


export class AnalysisMode {
  // view: the page's view; fenProblem(fen) resolves to the sentence on why
  // a FEN cannot be played (the engine's verdict first), or null.
  constructor(view, fenProblem) {
    this.view = view;
    this.fenProblem = fenProblem;
    this.active = false;
    this.analysis = null;
    this.review = null;
    this.evaluations = []; // the review's evaluations by ply
    this.reviewed = false;
    this.progress = null; // {done, total} while a review runs
    this.info = null; // the latest info line of the shown position: {info, fen}
    this.drawPending = false;
    this.headers = {}; // the tag pairs of the PGN loaded
    this.bindControls();
  }

  get ply() {
    return this.analysis.ply;
  }

  get plies() {
    return this.analysis.line.plies;
  }

  // Shows the analysis board; the first time it starts from the game in
  // play (a Game) at its shown ply. session: the engine's, or null.
  enter(session, game, ply) {
    this.active = true;
    showMode(true);
    if (!this.analysis) {
      this.analysis = new Analysis(session, (info) => this.showInfo(info));
      this.review = new Review(session);
      this.takeGame(game, ply);
    } else {
      this.analysis.follow();
    }
    this.draw(true);
  }

  leave() {
    this.stopReview();
    this.analysis?.pause();
    this.active = false;
    showMode(false);
    this.view.clearInfo();
  }

  // ---- the line ----------------------------------------------------------

  takeGame(game, ply) {
    this.headers = {};
    this.setLine(game.startFen, game.moves, ply);
  }

  setLine(startFen, moves, ply) {
    this.stopReview();
    this.evaluations = [];
    this.reviewed = false;
    this.info = null;
    this.analysis.load(startFen, moves, ply);
    this.draw(true);
  }

  // Loads the FEN or PGN of the text field; the engine's verdict on the
  // start position decides, as for a game.
  async loadText() {
    const text = readStart();
    let start;
    try {
      start = !text || looksLikeFen(text) ? { startFen: completeFen(text || START_FEN), moves: [] } : readPgn(text);
    } catch (error) {
      setStartProblem(`This PGN cannot be read: ${error.message}`);
      return;
    }
    this.stopReview();
    this.analysis.pause();
    // One position at a time, while the engine looks at it.
    this.view.enableButtons({ load: false });
    const problem = await this.fenProblem(start.startFen);
    this.view.enableButtons({ load: true });
    setStartProblem(problem ?? '');
    if (problem) {
      this.analysis.follow();
      return;
    }
    this.headers = start.headers ?? {};
    this.setLine(start.startFen, start.moves, 0);
  }

  show(ply) {
    if (this.analysis.show(ply)) this.draw(true);
  }

  playMove(move) {
    if (!move) return this.draw(false);
    const changed = this.analysis.play(move);
    if (changed !== null) {
      // The review's evaluations hold up to the position before the change.
      this.evaluations.length = Math.min(this.evaluations.length, changed);
      this.reviewed = false;
      delete this.headers.Result;
    }
    this.info = null;
    this.draw(true);
  }

  showInfo(info) {
    this.info = info;
    this.drawThinking();
  }

  // ---- the review --------------------------------------------------------

  startReview() {
    this.analysis.pause();
    this.analysis.lent = true;
    this.evaluations = [];
    this.reviewed = false;
    this.progress = { done: 0, total: this.plies + 1 };
    this.review.start(this.analysis.line.startFen, this.analysis.moves, chosenSetting(), {
      onPosition: (ply, evaluation) => {
        this.evaluations[ply] = evaluation;
        this.progress.done = ply + 1;
        this.drawSoon();
      },
      onDone: (complete) => {
        this.progress = null;
        this.reviewed = complete;
        this.analysis.lent = false;
        this.analysis.follow();
        this.draw(false);
      },
    });
    this.draw(false);
  }

  stopReview() {
    this.review?.stop();
  }

  // ---- drawing -----------------------------------------------------------

  // The evaluation of the shown position: the engine's latest word on it,
  // else the review's, else the rules' when the game is over there.
  shownEvaluation() {
    const shown = this.analysis.shown;
    if (this.info?.fen === shown.fen()) return evaluationOf(this.info.info.score, shown.turn());
    return this.evaluations[this.ply] ?? endEvaluation(positionResult(shown));
  }

  drawThinking() {
    const shown = this.analysis.shown;
    if (this.info?.fen === shown.fen()) this.view.showInfo(this.info.info, this.info.fen, true);
    else this.view.clearInfo();
    drawEvalBar(this.shownEvaluation(), this.view.board.getOrientation() === 'w');
  }

  describeStatus(shown) {
    const result = positionResult(shown);
    if (this.progress) return 'Reviewing the game: the engine searches each position in turn.';
    if (result) return `${result.text} (${result.score})`;
    if (!this.analysis.session) return 'Analysis board: without the engine, the board only keeps the rules.';
    if (!this.analysis.following) return 'Analysis board: move for either side; the engine is off.';
    return 'Analysis board: move for either side; the engine analyses the shown position.';
  }

  // Draws the review at the next frame, once however many evaluations come
  // before it.
  drawSoon() {
    if (this.drawPending) return;
    this.drawPending = true;
    requestAnimationFrame(() => {
      this.drawPending = false;
      if (this.active) this.drawReview();
    });
  }

  draw(animate) {
    if (!this.active) return;
    const view = this.view;
    const line = this.analysis.line;
    const shown = this.analysis.shown;
    view.showPosition(shown, animate);
    view.showResult('');
    view.showMoves(this.analysis.moves, line.firstMove, this.ply, (ply) => this.show(ply));
    view.showPgn(this.pgn());
    view.enableButtons({ first: this.ply > 0, previous: this.ply > 0, next: this.ply < line.plies, latest: this.ply < line.plies });
    showFollowing(this.analysis.following);
    this.drawReview();
  }

  // The parts a review changes: the marks, the graph, the progress, the
  // status and whether the board takes moves.
  drawReview() {
    const view = this.view;
    const line = this.analysis.line;
    const shown = this.analysis.shown;
    const firstMover = line.firstMove.black ? 'b' : 'w';
    const judgements = judgeMoves(this.evaluations, firstMover);
    markMoves(judgements);
    view.setStatus(this.describeStatus(shown));
    view.showThinking(Boolean(this.analysis.search || this.progress));
    view.disableInput();
    if (!this.progress && !shown.isGameOver())
      view.enableInput(shown.turn(), (square) => shown.moves({ square, verbose: true }), (move) => this.playMove(move));
    const engine = Boolean(this.analysis.session);
    view.enableButtons({
      'review-start': engine && !this.progress && line.plies > 0,
      'review-stop': Boolean(this.progress),
      follow: engine && !this.progress,
    });
    this.drawThinking();
    drawProgress(this.progress);
    drawGraph(this.evaluations, judgements, this.ply, (ply) => this.show(ply));
    drawSummary(judgements, firstMover, this.reviewed);
  }

  pgn() {
    const line = this.analysis.line;
    const chess = line.chess;
    // A result by the rules stands; else the loaded game's, if any.
    const tags = { Event: 'Analysis board', ...this.headers, Result: line.result?.score ?? this.headers.Result ?? '*' };
    for (const [name, value] of Object.entries(tags)) chess.setHeader(name, value);
    if (line.startFen !== START_FEN) {
      chess.setHeader('SetUp', '1');
      chess.setHeader('FEN', line.startFen);
    }
    return chess.pgn();
  }

  // ---- controls ----------------------------------------------------------

  bindControls() {
    const view = this.view;
    offerSettings(REVIEW_SETTINGS);
    view.onClick('review-start', () => this.startReview());
    view.onClick('review-stop', () => this.stopReview());
    view.onClick('follow', () => {
      this.analysis.setFollowing(!this.analysis.following);
      this.draw(false);
    });
    view.on('load-form', 'submit', (event) => {
      event.preventDefault();
      this.loadText();
    });
    onStepKey((step) => {
      if (this.active) this.show(this.ply + step);
      return this.active;
    });
  }
}
