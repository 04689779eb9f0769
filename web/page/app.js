// The page: a game against the engine on a board, the engine's thinking,
// analysis of any position of the game and the evaluation report. The rules
// (legal moves, the end of the game, PGN) are chess.js's; the board is
// cm-chessboard's; the engine runs in a Worker (engine.js).
import { Chess, validateFen } from './vendor/chess.js/chess.js';
import { Chessboard, COLOR, FEN, INPUT_EVENT_TYPE } from './vendor/cm-chessboard/src/Chessboard.js';
import { Accessibility } from './vendor/cm-chessboard/src/extensions/accessibility/Accessibility.js';
import { ARROW_TYPE, Arrows } from './vendor/cm-chessboard/src/extensions/arrows/Arrows.js';
import { MARKER_TYPE, Markers } from './vendor/cm-chessboard/src/extensions/markers/Markers.js';
import {
  PROMOTION_DIALOG_RESULT_TYPE,
  PromotionDialog,
} from './vendor/cm-chessboard/src/extensions/promotion-dialog/PromotionDialog.js';
import { Engine } from './engine.js';
import { describeScore, parseInfo, parseReport, REPORT_FIRST_LINE, REPORT_LAST_LINE } from './info.js';

const $ = (id) => document.getElementById(id);
const MS_PER_SECOND = 1000;
const MS_PER_MINUTE = 60 * MS_PER_SECOND;
const CLOCK_TICK_MS = 100;
const PV_MOVES_SHOWN = 12;
const COLOR_NAME = { w: 'White', b: 'Black' };

// What the browser lacks for the engine, as one sentence; null when nothing.
function missingFeature() {
  if (typeof WebAssembly !== 'object' || typeof Worker !== 'function' || !('crossOriginIsolated' in self))
    return 'This browser is too old for the engine: it needs WebAssembly with threads (SharedArrayBuffer), found in current versions of Chrome, Edge, Firefox and Safari.';
  if (!self.crossOriginIsolated)
    return 'The engine cannot start: this page was served without cross-origin isolation (the headers Cross-Origin-Opener-Policy: same-origin and Cross-Origin-Embedder-Policy: require-corp), which its threads need; serve it with "make serve".';
  try {
    const memory = new WebAssembly.Memory({ initial: 1, maximum: 1, shared: true });
    if (!(memory.buffer instanceof SharedArrayBuffer)) throw new Error('not shared');
  } catch {
    return 'The engine cannot start: this browser has no WebAssembly threads (shared memory); a current version of Chrome, Edge, Firefox or Safari has them.';
  }
  return null;
}

const state = {
  startFen: FEN.start,
  game: new Chess(),
  human: 'w',
  control: { kind: 'movetime', moveMs: 2 * MS_PER_SECOND },
  clocks: { w: 0, b: 0 },
  clockSince: 0,
  result: null,
  viewPly: null, // null: the game's latest position
  thinking: null, // the engine's search for its move
  analysis: null, // the running analysis: {fen}
  ready: false,
};

function showError(sentence) {
  const error = $('error');
  error.textContent = sentence;
  error.hidden = false;
  $('status').textContent = 'The engine is not available.';
  for (const id of ['analyse', 'stop', 'takeback']) $(id).disabled = true;
  board.disableMoveInput();
}

const board = new Chessboard($('board'), {
  position: FEN.start,
  assetsUrl: 'vendor/cm-chessboard/assets/',
  style: { cssClass: 'default', borderType: 'frame', pieces: { file: 'pieces/standard.svg' }, animationDuration: 200 },
  extensions: [
    { class: Markers, props: { autoMarkers: MARKER_TYPE.frame } },
    { class: Arrows },
    { class: PromotionDialog },
    { class: Accessibility, props: { language: 'en', keyboardMoveInput: true, boardAsTable: false, piecesAsList: false } },
  ],
});

// The moves of the game up to ply (all of them without one), as a game of
// their own.
function gameAt(ply) {
  const moves = state.game.history({ verbose: true });
  const game = new Chess(state.startFen);
  for (const move of moves.slice(0, ply ?? moves.length)) game.move(move);
  return game;
}

const shownPly = () => state.viewPly ?? state.game.history().length;
const shownGame = () => gameAt(state.viewPly);

function positionCommand(game) {
  const moves = game.history({ verbose: true }).map((move) => move.from + move.to + (move.promotion ?? ''));
  return `position fen ${state.startFen}${moves.length ? ` moves ${moves.join(' ')}` : ''}`;
}

// ---- the game's end, from the rules library --------------------------------

function gameResult(game) {
  const mover = game.turn();
  const other = mover === 'w' ? 'b' : 'w';
  if (game.isCheckmate()) return { score: other === 'w' ? '1-0' : '0-1', text: `Checkmate: ${COLOR_NAME[other]} wins.` };
  if (game.isStalemate()) return { score: '1/2-1/2', text: 'Stalemate: a draw.' };
  if (game.isInsufficientMaterial()) return { score: '1/2-1/2', text: 'Draw: neither side has the material to mate.' };
  if (game.isThreefoldRepetition()) return { score: '1/2-1/2', text: 'Draw by threefold repetition.' };
  if (game.isDrawByFiftyMoves()) return { score: '1/2-1/2', text: 'Draw by the fifty-move rule.' };
  return null;
}

// ---- clocks ----------------------------------------------------------------

const usesClock = () => state.control.kind === 'clock';

function chargeClock() {
  if (!usesClock() || state.result) return;
  const now = performance.now();
  state.clocks[state.game.turn()] -= now - state.clockSince;
  state.clockSince = now;
}

function formatClock(ms) {
  const tenths = Math.max(0, Math.ceil(ms / CLOCK_TICK_MS));
  const seconds = Math.floor(tenths / 10);
  const text = `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
  return seconds < 10 ? `${text}.${tenths % 10}` : text;
}

function drawClocks() {
  for (const side of ['w', 'b']) {
    const clock = $(`clock-${side}`);
    clock.hidden = !usesClock();
    if (!usesClock()) continue;
    const running = !state.result && state.game.turn() === side;
    const left = state.clocks[side] - (running ? performance.now() - state.clockSince : 0);
    clock.textContent = formatClock(left);
    clock.classList.toggle('running', running);
    if (running && left <= 0) flag(side);
  }
}

function flag(side) {
  const winner = side === 'w' ? 'b' : 'w';
  chargeClock();
  endGame({ score: winner === 'w' ? '1-0' : '0-1', text: `${COLOR_NAME[side]} lost on time: ${COLOR_NAME[winner]} wins.` });
}

setInterval(drawClocks, CLOCK_TICK_MS);

// ---- the game --------------------------------------------------------------

// Drops the engine's move search and the analysis, both without an answer.
function cancelEngine() {
  engine?.cancelSearches();
  state.thinking = null;
  state.analysis = null;
}

function endGame(result) {
  state.result = result;
  cancelEngine();
  refresh();
}

function playMove(move) {
  chargeClock();
  const mover = state.game.turn();
  state.game.move(move);
  board.removeArrows();
  if (usesClock()) state.clocks[mover] += state.control.incrementMs;
  state.viewPly = null;
  state.result = gameResult(state.game);
  refresh({ animate: true });
  if (!state.result) nextTurn();
}

function nextTurn() {
  if (state.result || !state.ready) return refresh();
  if (state.game.turn() === state.human) {
    requestReport(state.game);
    return refresh();
  }
  const game = state.game;
  const goLine = usesClock()
    ? `go wtime ${Math.round(state.clocks.w)} btime ${Math.round(state.clocks.b)} winc ${state.control.incrementMs} binc ${state.control.incrementMs}`
    : `go movetime ${state.control.moveMs}`;
  engine.send(positionCommand(game));
  engine.send('eval');
  state.thinking = engine.search(positionCommand(game), goLine, {
    onInfo: (line) => showInfo(line, game.fen()),
    onBestMove: (word) => {
      state.thinking = null;
      if (word === '0000') return refresh();
      playMove({ from: word.slice(0, 2), to: word.slice(2, 4), promotion: word[4] });
    },
  });
  refresh();
}

function newGame() {
  const fen = $('fen').value.trim() || FEN.start;
  const check = validateFen(fen);
  if (!check.ok) {
    $('fen-problem').textContent = `This FEN cannot be played: ${check.error}`;
    return;
  }
  $('fen-problem').textContent = '';
  cancelEngine();
  state.startFen = fen;
  state.game = new Chess(fen);
  state.human = $('side').value === 'random' ? (Math.random() < 0.5 ? 'w' : 'b') : $('side').value;
  const minutes = Number($('clock-minutes').value);
  const seconds = Number($('move-seconds').value);
  state.control =
    $('control').value === 'clock'
      ? { kind: 'clock', incrementMs: Number($('clock-increment').value) * MS_PER_SECOND }
      : { kind: 'movetime', moveMs: Math.max(1, seconds) * MS_PER_SECOND };
  state.clocks = { w: minutes * MS_PER_MINUTE, b: minutes * MS_PER_MINUTE };
  state.clockSince = performance.now();
  state.result = gameResult(state.game);
  state.viewPly = null;
  board.setOrientation(state.human === 'w' ? COLOR.white : COLOR.black);
  engine?.send('ucinewgame');
  clearInfo();
  refresh({ animate: true });
  nextTurn();
}

// Takes back the last move of each side (the engine's answer and the
// person's move before it), or the person's move while the engine thinks.
function takeBack() {
  cancelEngine();
  const history = state.game.history();
  if (history.length === 0) return;
  state.game.undo();
  if (state.game.turn() !== state.human && state.game.history().length > 0) state.game.undo();
  state.result = null;
  state.viewPly = null;
  state.clockSince = performance.now();
  refresh({ animate: true });
  nextTurn();
}

// ---- the board -------------------------------------------------------------

function humanMayMove() {
  return state.ready && !state.result && !state.thinking && !state.analysis && state.viewPly === null &&
    state.game.turn() === state.human;
}

function showHints(square) {
  board.removeMarkers(MARKER_TYPE.dot);
  board.removeMarkers(MARKER_TYPE.bevel);
  for (const move of state.game.moves({ square, verbose: true }))
    board.addMarker(move.captured ? MARKER_TYPE.bevel : MARKER_TYPE.dot, move.to);
}

function clearHints() {
  board.removeMarkers(MARKER_TYPE.dot);
  board.removeMarkers(MARKER_TYPE.bevel);
}

function onBoardInput(event) {
  switch (event.type) {
    case INPUT_EVENT_TYPE.moveInputStarted: {
      const legal = state.game.moves({ square: event.squareFrom, verbose: true }).length > 0;
      if (legal) showHints(event.squareFrom);
      return legal;
    }
    case INPUT_EVENT_TYPE.validateMoveInput: {
      clearHints();
      const moves = state.game.moves({ square: event.squareFrom, verbose: true }).filter((move) => move.to === event.squareTo);
      if (moves.length === 0) return false;
      if (moves.some((move) => move.promotion)) {
        board.showPromotionDialog(event.squareTo, state.human === 'w' ? COLOR.white : COLOR.black, (result) => {
          if (result.type === PROMOTION_DIALOG_RESULT_TYPE.pieceSelected)
            playMove({ from: event.squareFrom, to: event.squareTo, promotion: result.piece.charAt(1) });
          else board.setPosition(state.game.fen(), true);
        });
        return true;
      }
      // The board moves the piece; castling's rook, a pawn taken en passant
      // follow when the position is drawn again.
      setTimeout(() => playMove(moves[0]));
      return true;
    }
    case INPUT_EVENT_TYPE.moveInputCanceled:
      clearHints();
      return undefined;
    default:
      return undefined;
  }
}

// ---- the engine's thinking -------------------------------------------------

function clearInfo() {
  for (const id of ['info-depth', 'info-score', 'info-nodes', 'info-speed', 'info-pv']) $(id).textContent = '–';
  $('info-score-words').textContent = '';
  board.removeArrows();
}

// The principal variation in the moves' names, as far as its moves are legal.
function pvInSan(fen, pv) {
  const game = new Chess(fen);
  const names = [];
  for (const word of pv.slice(0, PV_MOVES_SHOWN)) {
    const number = game.moveNumber();
    try {
      const move = game.move({ from: word.slice(0, 2), to: word.slice(2, 4), promotion: word[4] });
      const prefix = move.color === 'w' ? `${number}. ` : names.length === 0 ? `${number}… ` : '';
      names.push(prefix + move.san);
    } catch {
      break;
    }
  }
  return names.join(' ') + (pv.length > PV_MOVES_SHOWN ? ' …' : '');
}

function showInfo(line, fen) {
  const info = parseInfo(line);
  if (info.score === undefined) return;
  const sideToMove = fen.split(' ')[1];
  const score = describeScore(info.score, sideToMove);
  $('info-depth').textContent = `${info.depth ?? '–'}${info.seldepth ? `/${info.seldepth}` : ''}`;
  $('info-score').textContent = score.value + (info.bound === 'lowerbound' ? ' ≥' : info.bound === 'upperbound' ? ' ≤' : '');
  $('info-score-words').textContent = score.words;
  $('info-nodes').textContent = (info.nodes ?? 0).toLocaleString('en');
  $('info-speed').textContent = info.nps ? `${Math.round(info.nps / 1000).toLocaleString('en')} kN/s` : '–';
  $('info-pv').textContent = pvInSan(fen, info.pv);
  board.removeArrows();
  if (info.pv.length > 0 && shownGame().fen() === fen) board.addArrow(ARROW_TYPE.info, info.pv[0].slice(0, 2), info.pv[0].slice(2, 4));
}

// ---- analysis --------------------------------------------------------------

function analyse() {
  if (state.thinking || state.analysis) return;
  const game = shownGame();
  if (game.isGameOver()) return;
  requestReport(game);
  const fen = game.fen();
  clearInfo();
  state.analysis = engine.search(positionCommand(game), 'go infinite', {
    onInfo: (line) => showInfo(line, fen),
    onBestMove: (word) => {
      state.analysis = null;
      if (word !== '0000') {
        board.removeArrows();
        if (shownGame().fen() === fen) board.addArrow(ARROW_TYPE.success, word.slice(0, 2), word.slice(2, 4));
      }
      $('status').textContent = `Analysis stopped: the engine's best move is ${pvInSan(fen, [word]) || 'none'}.`;
      refresh({ keepStatus: true });
    },
  });
  refresh();
}

function stopAnalysis() {
  if (!state.analysis) return;
  engine.stop();
}

// ---- the evaluation report -------------------------------------------------

let reportLines = null;

function requestReport(game) {
  engine.send(positionCommand(game));
  engine.send('eval');
}

function onEngineLine(line) {
  if (REPORT_FIRST_LINE.test(line)) reportLines = [];
  if (reportLines === null) return;
  reportLines.push(line);
  if (REPORT_LAST_LINE.test(line)) {
    drawReport(parseReport(reportLines));
    reportLines = null;
  }
}

function drawReport(report) {
  const table = $('eval-table');
  const head = `<thead><tr><th scope="col">Term</th>${report.columns.map((name) => `<th scope="col">${name.replace(/^(WHITE|BLACK)/, (colour) => colour[0] + colour.slice(1).toLowerCase())}</th>`).join('')}</tr></thead>`;
  const rows = report.terms
    .map((term) => `<tr${term.label === 'Subtotal' ? ' class="subtotal"' : ''}><th scope="row">${term.label}</th>${term.values.map((value) => `<td>${value}</td>`).join('')}</tr>`)
    .join('');
  table.innerHTML = `${head}<tbody>${rows}</tbody>`;
  $('eval-totals').innerHTML = report.totals.map((total) => `<dt>${total.label}</dt><dd>${total.value}</dd>`).join('');
}

// ---- drawing ---------------------------------------------------------------

function drawMoves() {
  const list = $('moves');
  const history = state.game.history({ verbose: true });
  list.innerHTML = '';
  const firstNumber = new Chess(state.startFen).moveNumber();
  const blackStarts = new Chess(state.startFen).turn() === 'b';
  let row = null;
  history.forEach((move, index) => {
    const ply = index + 1;
    if (move.color === 'w' || row === null) {
      row = document.createElement('li');
      const number = document.createElement('span');
      number.className = 'number';
      number.textContent = `${firstNumber + Math.floor((index + (blackStarts ? 1 : 0)) / 2)}.`;
      row.append(number);
      if (move.color === 'b') row.append(Object.assign(document.createElement('span'), { className: 'move empty', textContent: '…' }));
      list.append(row);
    }
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'move';
    button.textContent = move.san;
    button.setAttribute('aria-current', ply === shownPly() ? 'true' : 'false');
    button.addEventListener('click', () => view(ply));
    row.append(button);
  });
  list.querySelector('[aria-current="true"]')?.scrollIntoView({ block: 'nearest' });
}

function view(ply) {
  const last = state.game.history().length;
  const target = Math.max(0, Math.min(last, ply));
  if (state.analysis) stopAnalysis();
  state.viewPly = target === last ? null : target;
  if (state.ready && !state.thinking && !state.analysis) requestReport(shownGame());
  refresh({ animate: true });
}

function describeStatus() {
  if (state.result) return `${state.result.text} (${state.result.score})`;
  if (state.analysis) return 'Analysing: the engine searches until you stop it.';
  if (state.thinking) return 'The engine is thinking…';
  if (!state.ready) return 'Loading the engine…';
  if (state.viewPly !== null) return `Viewing move ${state.viewPly} of ${state.game.history().length}; the game goes on from the last move.`;
  const check = state.game.isCheck() ? 'Check. ' : '';
  return `${check}${state.game.turn() === state.human ? 'Your move' : "The engine's move"} (${COLOR_NAME[state.game.turn()]} to move).`;
}

function refresh({ animate = false, keepStatus = false } = {}) {
  const game = shownGame();
  board.setPosition(game.fen(), animate);
  board.removeMarkers(MARKER_TYPE.square);
  const last = game.history({ verbose: true }).at(-1);
  if (last) {
    board.addMarker(MARKER_TYPE.square, last.from);
    board.addMarker(MARKER_TYPE.square, last.to);
  }
  if (!keepStatus) $('status').textContent = describeStatus();
  document.body.toggleAttribute('data-thinking', Boolean(state.thinking || state.analysis));
  $('result').textContent = state.result ? state.result.text : '';
  const engineSide = state.human === 'w' ? 'b' : 'w';
  $(`name-${state.human}`).textContent = `You (${COLOR_NAME[state.human]})`;
  $(`name-${engineSide}`).textContent = `Marrowby (${COLOR_NAME[engineSide]})`;
  const topSide = state.human === 'w' ? 'b' : 'w';
  $('player-top').append($(`name-${topSide}`), $(`clock-${topSide}`));
  $('player-bottom').append($(`name-${state.human}`), $(`clock-${state.human}`));
  drawClocks();
  drawMoves();
  updatePgn();
  board.disableMoveInput();
  if (humanMayMove()) board.enableMoveInput(onBoardInput, state.human === 'w' ? COLOR.white : COLOR.black);
  $('analyse').disabled = !state.ready || !!state.thinking || !!state.analysis || game.isGameOver();
  $('stop').disabled = !state.analysis;
  $('takeback').disabled = !state.ready || !!state.analysis || state.game.history().length === 0;
  $('first').disabled = $('previous').disabled = shownPly() === 0;
  $('next').disabled = $('latest').disabled = state.viewPly === null;
}

function updatePgn() {
  const game = state.game;
  game.setHeader('Event', 'Game against Marrowby');
  game.setHeader('Date', new Date().toISOString().slice(0, 10).replaceAll('-', '.'));
  game.setHeader('White', state.human === 'w' ? 'You' : 'Marrowby');
  game.setHeader('Black', state.human === 'b' ? 'You' : 'Marrowby');
  game.setHeader('Result', state.result ? state.result.score : '*');
  if (state.startFen !== FEN.start) {
    game.setHeader('SetUp', '1');
    game.setHeader('FEN', state.startFen);
  }
  $('pgn').value = game.pgn();
}

async function copyPgn() {
  const text = $('pgn').value;
  try {
    await navigator.clipboard.writeText(text);
    $('copy-state').textContent = 'The PGN is copied.';
  } catch {
    $('pgn-details').open = true;
    $('pgn').select();
    $('copy-state').textContent = 'Copying was refused: the PGN is selected below, copy it with Ctrl+C.';
  }
}

// ---- controls --------------------------------------------------------------

function showControlFields() {
  const clock = $('control').value === 'clock';
  $('movetime-fields').hidden = clock;
  $('clock-fields').hidden = !clock;
}

$('new-game-form').addEventListener('submit', (event) => {
  event.preventDefault();
  newGame();
});
$('control').addEventListener('change', showControlFields);
$('takeback').addEventListener('click', takeBack);
$('flip').addEventListener('click', () => board.setOrientation(board.getOrientation() === COLOR.white ? COLOR.black : COLOR.white, true));
$('analyse').addEventListener('click', analyse);
$('stop').addEventListener('click', stopAnalysis);
$('copy-pgn').addEventListener('click', copyPgn);
$('first').addEventListener('click', () => view(0));
$('previous').addEventListener('click', () => view(shownPly() - 1));
$('next').addEventListener('click', () => view(shownPly() + 1));
$('latest').addEventListener('click', () => view(state.game.history().length));
$('moves-panel').addEventListener('keydown', (event) => {
  const steps = { ArrowLeft: -1, ArrowRight: 1 };
  if (!(event.key in steps)) return;
  event.preventDefault();
  view(shownPly() + steps[event.key]);
});
showControlFields();

// ---- start -----------------------------------------------------------------

let engine = null;
const missing = missingFeature();
refresh();
if (missing) {
  showError(missing);
} else {
  const started = performance.now();
  engine = new Engine({
    onError: showError,
    onLine: (line) => {
      if (line === 'uciok') {
        state.ready = true;
        document.body.dataset.engine = 'ready';
        $('engine-start').textContent = `The engine answered in ${Math.round(performance.now() - started)} ms.`;
        newGame();
        return;
      }
      onEngineLine(line);
    },
  });
  engine.send('uci');
}
