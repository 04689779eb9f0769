// The page: a game against the engine, the engine's thinking, analysis of
// any position of the game and the evaluation report. It ties the game
// (game.js), the clock (clock.js), the engine session (session.js) and the
// view (view.js) together: each person's action and engine answer changes
// the state here, and refresh() draws it.
import { AnalysisMode } from './analysis-mode.js';
import { Clock, CLOCK_TICK_MS, MS_PER_MINUTE, MS_PER_SECOND } from './clock.js';
import { COLOR_NAME, completeFen, Game, otherSide, pvInSan, START_FEN, validateFen, wordMove } from './game.js';
import { EngineSession, LEVELS } from './session.js';
import { missingFeature } from './support.js';
import { loadGame, saveGame } from './saved-game.js';
import { View } from './view.js';

const DEFAULT_MOVE_MS = 2 * MS_PER_SECOND;

const state = {
  game: new Game(),
  goLimit: `movetime ${DEFAULT_MOVE_MS}`, // what ends the engine's search for a move, unless a clock
  clock: null, // with a clock for both sides
  viewPly: null, // null: the game's latest position
  thinking: null, // the engine's search for its move
  analysis: null, // the running analysis
  bottom: 'w', // the side shown at the bottom of the board
  failure: null, // why the engine cannot run
  info: null, // the latest info line: {info, fen}
  best: null, // the best move an analysis ended with: {word, fen}
};

const view = new View();
let session = null;
// While the analysis board is shown, the game in play waits, its clock too.
const analysisBoard = new AnalysisMode(view, fenProblem);

const engineReady = () => Boolean(session?.ready);
const shownPly = () => (analysisBoard.active ? analysisBoard.ply : (state.viewPly ?? state.game.plies));
const shownGame = () => state.game.at(state.viewPly);

// ---- the clock -------------------------------------------------------------

function clockTimes() {
  if (!state.clock) return null;
  const running = state.game.result ? null : state.game.turn;
  return { w: state.clock.remaining('w', running === 'w'), b: state.clock.remaining('b', running === 'b'), running };
}

function tick() {
  if (analysisBoard.active) return;
  const times = clockTimes();
  view.showClocks(times);
  if (times?.running && times[times.running] <= 0) flag(times.running);
}

function flag(side) {
  state.clock.charge(side);
  endGame(state.game.flagResult(side));
}

setInterval(tick, CLOCK_TICK_MS);

// ---- the game --------------------------------------------------------------

// Drops the engine's move search and the analysis, both without an answer.
function cancelEngine() {
  session?.cancel();
  state.thinking = null;
  state.analysis = null;
}

function endGame(result) {
  state.game.end(result);
  cancelEngine();
  refresh();
}

function playMove(move) {
  if (!move) return refresh();
  const mover = state.game.turn;
  state.clock?.moved(mover);
  state.game.play(move);
  state.viewPly = null;
  refresh({ animate: true });
  if (!state.game.result) nextTurn();
}

function goLine() {
  if (!state.clock) return `go ${state.goLimit}`;
  const { w, b } = state.clock.left;
  const increment = state.clock.incrementMs;
  return `go wtime ${Math.round(w)} btime ${Math.round(b)} winc ${increment} binc ${increment}`;
}

function nextTurn() {
  if (state.game.result || !engineReady()) return refresh();
  if (state.game.humanToMove) {
    session.evaluate(state.game.positionCommand(), state.game.turn);
    return refresh();
  }
  const fen = state.game.chess.fen();
  const position = state.game.positionCommand();
  session.evaluate(position, state.game.turn);
  state.thinking = session.search(position, goLine(), {
    onInfo: (info) => showInfo(info, fen),
    onBestMove: (word) => {
      state.thinking = null;
      if (word === '0000') return refresh();
      playMove(wordMove(word));
    },
  });
  refresh();
}

// The engine's verdict on the FEN decides; the rules library must take it
// too. Resolves to the sentence on why the FEN cannot be played, or null.
async function fenProblem(fen) {
  if (engineReady()) {
    cancelEngine();
    const problem = await session.checkPosition(`position fen ${fen}`);
    if (problem) return `The engine cannot play this FEN: ${problem}.`;
  }
  const check = validateFen(fen);
  return check.ok ? null : `This FEN cannot be played: ${check.error}`;
}

async function newGame() {
  const form = view.readNewGame();
  const fen = completeFen(form.fen || START_FEN);
  // One new game at a time, while the engine looks at its FEN.
  view.enableButtons({ 'new-game': false });
  const problem = await fenProblem(fen);
  view.enableButtons({ 'new-game': true });
  view.setFenProblem(problem ?? '');
  if (problem) {
    // The game goes on; the check ended the engine's search.
    nextTurn();
    return;
  }
  cancelEngine();
  const human = form.side === 'random' ? (Math.random() < 0.5 ? 'w' : 'b') : form.side;
  state.game = new Game(fen, human);
  const limits = {
    clock: null,
    level: LEVELS[form.level]?.go,
    movetime: `movetime ${Math.max(1, form.moveSeconds) * MS_PER_SECOND}`,
  };
  state.goLimit = limits[form.control];
  state.clock = form.control === 'clock' ? new Clock(form.clockMinutes * MS_PER_MINUTE, form.incrementSeconds * MS_PER_SECOND) : null;
  state.viewPly = null;
  state.bottom = human;
  state.info = null;
  state.best = null;
  view.setOrientation(human);
  session?.newGame();
  refresh({ animate: true });
  nextTurn();
}

// Takes back the last move of each side (the engine's answer and the
// person's move before it), or the person's move while the engine thinks.
function takeBack() {
  cancelEngine();
  const game = state.game;
  if (game.plies === 0) return;
  game.undo();
  if (!game.humanToMove && game.plies > 0) game.undo();
  state.viewPly = null;
  state.clock?.takeBack(game.plies);
  refresh({ animate: true });
  nextTurn();
}

function humanMayMove() {
  return engineReady() && !state.game.result && !state.thinking && !state.analysis && state.viewPly === null &&
    state.game.humanToMove;
}

// ---- the engine's thinking and analysis ------------------------------------

function showInfo(info, fen) {
  state.info = { info, fen };
  state.best = null;
  drawThinking();
}

// The latest info line belongs to the position it was searched in: it shows
// there and on the position its search's move led to, with its arrow only
// there; elsewhere the panel is empty.
function drawThinking() {
  const ply = shownPly();
  const fen = shownGame().fen();
  const before = ply > 0 ? state.game.at(ply - 1).fen() : null;
  const info = state.info;
  if (info && (info.fen === fen || info.fen === before)) view.showInfo(info.info, info.fen, info.fen === fen);
  else view.clearInfo();
  if (state.best?.fen === fen) view.showArrow(state.best.word, 'success');
}

function analyse() {
  if (state.thinking || state.analysis) return;
  const game = shownGame();
  if (game.isGameOver()) return;
  const position = state.game.positionCommand(state.viewPly);
  session.evaluate(position, game.turn());
  const fen = game.fen();
  state.info = null;
  state.best = null;
  state.analysis = session.search(position, 'go infinite', {
    onInfo: (info) => showInfo(info, fen),
    onBestMove: (word) => {
      state.analysis = null;
      if (word !== '0000') state.best = { word, fen };
      view.setStatus(`Analysis stopped: the engine's best move is ${(word !== '0000' && pvInSan(fen, [word])) || 'none'}.`);
      refresh({ keepStatus: true });
    },
  });
  refresh();
}

function stopAnalysis() {
  if (state.analysis) session.stop();
}

// ---- viewing the game's positions ------------------------------------------

function viewPly(ply) {
  if (analysisBoard.active) return analysisBoard.show(ply);
  const last = state.game.plies;
  const target = Math.max(0, Math.min(last, ply));
  stopAnalysis();
  state.viewPly = target === last ? null : target;
  if (engineReady() && !state.thinking && !state.analysis)
    session.evaluate(state.game.positionCommand(state.viewPly), shownGame().turn());
  refresh({ animate: true });
}

// ---- drawing ---------------------------------------------------------------

function describeStatus() {
  const game = state.game;
  if (state.failure) return 'The engine is not available: the board only shows the position.';
  if (game.result) return `${game.result.text} (${game.result.score})`;
  if (state.analysis) return 'Analysing: the engine searches until you stop it.';
  if (state.thinking) return 'The engine is thinking…';
  if (!engineReady()) return 'Loading the engine…';
  if (state.viewPly !== null) return `Viewing move ${state.viewPly} of ${game.plies}; the game goes on from the last move.`;
  const check = game.chess.isCheck() ? 'Check. ' : '';
  return `${check}${game.humanToMove ? 'Your move' : "The engine's move"} (${COLOR_NAME[game.turn]} to move).`;
}

function refresh({ animate = false, keepStatus = false } = {}) {
  if (analysisBoard.active) return analysisBoard.draw(animate);
  const game = state.game;
  const shown = shownGame();
  view.showPosition(shown, animate);
  drawThinking();
  if (!keepStatus) view.setStatus(describeStatus());
  view.showThinking(Boolean(state.thinking || state.analysis));
  view.showResult(game.result ? game.result.text : '');
  view.showPlayers(game.human, state.bottom, clockTimes());
  view.showMoves(game.moves, game.firstMove, shownPly(), viewPly);
  view.showPgn(game.pgn(new Date()));
  saveGame(state);
  view.disableInput();
  if (humanMayMove()) view.enableInput(game.human, (square) => game.legalMoves(square), playMove);
  const idle = engineReady() && !state.thinking && !state.analysis;
  view.enableButtons({
    analyse: idle && !shown.isGameOver(),
    stop: Boolean(state.analysis),
    takeback: engineReady() && !state.analysis && game.plies > 0,
    first: shownPly() > 0,
    previous: shownPly() > 0,
    next: state.viewPly !== null,
    latest: state.viewPly !== null,
  });
}

// ---- controls --------------------------------------------------------------

view.on('new-game-form', 'submit', (event) => {
  event.preventDefault();
  newGame();
});
for (const id of ['control', 'level']) view.on(id, 'change', () => view.showControlFields());
view.onClick('takeback', takeBack);
view.onClick('flip', () => {
  state.bottom = otherSide(state.bottom);
  view.setOrientation(state.bottom, true);
  refresh();
});
view.onClick('analyse', analyse);
view.onClick('stop', stopAnalysis);
view.onClick('copy-pgn', () => view.copyPgn());
view.onClick('download-pgn', () => view.downloadPgn(`marrowby-${new Date().toISOString().slice(0, 10)}.pgn`));
view.onClick('first', () => viewPly(0));
view.onClick('previous', () => viewPly(shownPly() - 1));
view.onClick('next', () => viewPly(shownPly() + 1));
view.onClick('latest', () => viewPly(Infinity));
view.on('moves-panel', 'keydown', (event) => {
  const steps = { ArrowLeft: -1, ArrowRight: 1 };
  if (!(event.key in steps)) return;
  event.preventDefault();
  viewPly(shownPly() + steps[event.key]);
});
view.showControlFields();

// The game in play pauses while the analysis board is shown.
function showMode(analysing) {
  if (analysing === analysisBoard.active) return;
  if (analysing) {
    if (state.clock && !state.game.result) state.clock.charge(state.game.turn);
    cancelEngine();
    analysisBoard.enter(session, state.game, shownPly());
    return;
  }
  analysisBoard.leave();
  state.clock?.resume();
  refresh({ animate: true });
  nextTurn();
}
view.onClick('mode-play', () => showMode(false));
view.onClick('mode-analysis', () => showMode(true));
view.onClick('load-game', () => analysisBoard.takeGame(state.game, state.game.plies));

// ---- start -----------------------------------------------------------------

function fail(sentence) {
  state.failure = sentence;
  view.enableButtons({ 'mode-analysis': true });
  view.showError(sentence);
  refresh();
}

const saved = loadGame();
if (saved) Object.assign(state, saved);
view.setOrientation(state.bottom);
refresh();
const missing = await missingFeature();
if (missing) {
  fail(missing);
} else {
  session = new EngineSession({
    onReady: (times) => {
      view.showEngineStart(times);
      view.enableButtons({ 'mode-analysis': true });
      // A game saved before the page was loaded goes on; else a new one.
      if (!saved) return newGame();
      session.newGame();
      nextTurn();
    },
    onReport: (report, side) => view.showReport(report, side),
    onError: fail,
  });
}
