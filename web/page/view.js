// The view: the board (cm-chessboard), the players and clocks, the engine's
// thinking, the evaluation report, the move list and the controls. It draws
// what it is given and hands the person's input to the handlers it is given;
// it decides nothing about the game.
import { Chessboard, COLOR, INPUT_EVENT_TYPE } from './vendor/cm-chessboard/src/Chessboard.js';
import { Accessibility } from './vendor/cm-chessboard/src/extensions/accessibility/Accessibility.js';
import { ARROW_TYPE, Arrows } from './vendor/cm-chessboard/src/extensions/arrows/Arrows.js';
import { MARKER_TYPE, Markers } from './vendor/cm-chessboard/src/extensions/markers/Markers.js';
import {
  PROMOTION_DIALOG_RESULT_TYPE,
  PromotionDialog,
} from './vendor/cm-chessboard/src/extensions/promotion-dialog/PromotionDialog.js';
import { formatClock } from './clock.js';
import { checkedKing, COLOR_NAME, otherSide, pvInSan, START_FEN } from './game.js';
import { describeScore } from './info.js';
import { LEVELS } from './session.js';

export const $ = (id) => document.getElementById(id);
const BOARD_COLOR = { w: COLOR.white, b: COLOR.black };
const CHECK_MARKER = { class: 'marker-check', slice: 'markerCircleFilled' };
const INFO_FIELDS = ['info-depth', 'info-score', 'info-nodes', 'info-speed', 'info-pv'];
const NPS_PER_KNPS = 1000;
// A search shorter than this says little about the engine's speed.
const SPEED_MIN_MS = 200;
const DEFAULT_LEVEL = LEVELS.findIndex((level) => level.name === 'Club player');

export class View {
  constructor() {
    this.board = new Chessboard($('board'), {
      position: START_FEN,
      assetsUrl: 'vendor/cm-chessboard/assets/',
      style: { cssClass: 'default', borderType: 'frame', pieces: { file: 'pieces/standard.svg' }, animationDuration: 200 },
      extensions: [
        { class: Markers, props: { autoMarkers: MARKER_TYPE.frame } },
        { class: Arrows },
        { class: PromotionDialog },
        { class: Accessibility, props: { language: 'en', keyboardMoveInput: true, boardAsTable: false, piecesAsList: false } },
      ],
    });
    // The page's modules run (start-check.js looks for this).
    document.body.dataset.page = 'started';
    $('level').append(...LEVELS.map((level, index) => new Option(level.name, String(index), false, index === DEFAULT_LEVEL)));
  }

  // Calls handler on each event of the type at the element with the id.
  on(id, type, handler) {
    $(id).addEventListener(type, handler);
  }

  onClick(id, handler) {
    this.on(id, 'click', handler);
  }

  // ---- the board -------------------------------------------------------------

  // Shows the position of the chess.js game, its last move and a king in
  // check marked.
  showPosition(chess, animate) {
    this.board.setPosition(chess.fen(), animate);
    this.board.removeMarkers(MARKER_TYPE.square);
    this.board.removeMarkers(CHECK_MARKER);
    const last = chess.history({ verbose: true }).at(-1);
    if (last) {
      this.board.addMarker(MARKER_TYPE.square, last.from);
      this.board.addMarker(MARKER_TYPE.square, last.to);
    }
    const king = checkedKing(chess);
    if (king) this.board.addMarker(CHECK_MARKER, king);
  }

  setOrientation(side, animate = false) {
    this.board.setOrientation(BOARD_COLOR[side], animate);
  }

  // Lets the person move side's pieces: legalMoves(square) lists a square's
  // legal moves as chess.js does, play(move) gets the chosen one (null when
  // a promotion is called off, so the position is drawn again).
  enableInput(side, legalMoves, play) {
    this.board.disableMoveInput();
    this.board.enableMoveInput((event) => this.boardInput(event, side, legalMoves, play), BOARD_COLOR[side]);
  }

  disableInput() {
    this.board.disableMoveInput();
  }

  boardInput(event, side, legalMoves, play) {
    switch (event.type) {
      case INPUT_EVENT_TYPE.moveInputStarted: {
        const moves = legalMoves(event.squareFrom);
        if (moves.length > 0) this.showHints(moves);
        return moves.length > 0;
      }
      case INPUT_EVENT_TYPE.validateMoveInput: {
        this.clearHints();
        const moves = legalMoves(event.squareFrom).filter((move) => move.to === event.squareTo);
        if (moves.length === 0) return false;
        if (moves.some((move) => move.promotion)) {
          this.board.showPromotionDialog(event.squareTo, BOARD_COLOR[side], (result) => {
            if (result.type === PROMOTION_DIALOG_RESULT_TYPE.pieceSelected)
              play({ from: event.squareFrom, to: event.squareTo, promotion: result.piece.charAt(1) });
            else play(null);
          });
          return true;
        }
        // The board moves the piece; castling's rook, a pawn taken en passant
        // follow when the position is drawn again.
        setTimeout(() => play(moves[0]));
        return true;
      }
      case INPUT_EVENT_TYPE.moveInputCanceled:
        this.clearHints();
        return undefined;
      default:
        return undefined;
    }
  }

  showHints(moves) {
    this.clearHints();
    for (const move of moves) this.board.addMarker(move.captured ? MARKER_TYPE.bevel : MARKER_TYPE.dot, move.to);
  }

  clearHints() {
    this.board.removeMarkers(MARKER_TYPE.dot);
    this.board.removeMarkers(MARKER_TYPE.bevel);
  }

  // An arrow for the move word: kind 'info' while searching, 'success' for
  // a best move found.
  showArrow(word, kind) {
    this.board.removeArrows();
    if (word) this.board.addArrow(kind === 'success' ? ARROW_TYPE.success : ARROW_TYPE.info, word.slice(0, 2), word.slice(2, 4));
  }

  // ---- the players and clocks --------------------------------------------------

  // Names the sides and puts bottom's side below the board; clocks are
  // {w: ms, b: ms, running: side or null}, or null without a clock.
  showPlayers(human, bottom, clocks) {
    const engineSide = otherSide(human);
    $(`name-${human}`).textContent = `You (${COLOR_NAME[human]})`;
    $(`name-${engineSide}`).textContent = `Marrowby (${COLOR_NAME[engineSide]})`;
    const top = otherSide(bottom);
    $('player-top').append($(`name-${top}`), $(`clock-${top}`));
    $('player-bottom').append($(`name-${bottom}`), $(`clock-${bottom}`));
    this.showClocks(clocks);
  }

  showClocks(clocks) {
    for (const side of ['w', 'b']) {
      const clock = $(`clock-${side}`);
      clock.hidden = !clocks;
      if (!clocks) continue;
      clock.textContent = formatClock(clocks[side]);
      clock.classList.toggle('running', clocks.running === side);
    }
  }

  // ---- the engine's thinking -----------------------------------------------------

  clearInfo() {
    for (const id of INFO_FIELDS) $(id).textContent = '–';
    $('info-score-words').textContent = '';
    this.board.removeArrows();
  }

  // Shows an info line's values for the position fen; its first move is
  // drawn as an arrow when withArrow.
  showInfo(info, fen, withArrow) {
    const score = describeScore(info.score, fen.split(' ')[1]);
    // A mate found goes on through every depth at once; the depth that
    // found it is the one that tells something.
    $('info-depth').textContent =
      info.mateDepth !== undefined
        ? `${info.mateDepth} (mate found)`
        : `${info.depth ?? '–'}${info.seldepth ? `/${info.seldepth}` : ''}`;
    $('info-score').textContent = score.value + (info.bound === 'lowerbound' ? ' ≥' : info.bound === 'upperbound' ? ' ≤' : '');
    $('info-score-words').textContent = score.words;
    $('info-nodes').textContent = (info.nodes ?? 0).toLocaleString('en');
    const measured = info.nps && info.time >= SPEED_MIN_MS;
    $('info-speed').textContent = measured ? `${Math.round(info.nps / NPS_PER_KNPS).toLocaleString('en')} kN/s` : '–';
    $('info-pv').textContent = pvInSan(fen, info.pv);
    this.board.removeArrows();
    if (info.pv.length > 0 && withArrow) this.showArrow(info.pv[0], 'info');
  }

  // ---- the evaluation report ---------------------------------------------------

  // The report of a position with side to move: its totals are that side's.
  showReport(report, side) {
    const head = `<thead><tr><th scope="col">Term</th>${report.columns.map((name) => `<th scope="col">${name.replace(/^(WHITE|BLACK)/, (colour) => colour[0] + colour.slice(1).toLowerCase())}</th>`).join('')}</tr></thead>`;
    const rows = report.terms
      .map((term) => `<tr${term.label === 'Subtotal' ? ' class="subtotal"' : ''}><th scope="row">${term.label}</th>${term.values.map((value) => `<td>${value}</td>`).join('')}</tr>`)
      .join('');
    $('eval-table').innerHTML = `${head}<tbody>${rows}</tbody>`;
    $('eval-side').textContent = `The scores below are ${COLOR_NAME[side]}'s, the side to move (+ is good for ${COLOR_NAME[side]}).`;
    $('eval-totals').innerHTML = report.totals.map((total) => `<dt>${total.label}</dt><dd>${total.value}</dd>`).join('');
  }

  // ---- the move list -----------------------------------------------------------

  // Lists the game's moves (chess.js's verbose ones) by move number; the
  // shown ply is marked, and a click on a move calls select(ply).
  showMoves(moves, firstMove, shownPly, select) {
    const list = $('moves');
    list.innerHTML = '';
    let row = null;
    moves.forEach((move, index) => {
      const ply = index + 1;
      if (move.color === 'w' || row === null) {
        row = document.createElement('li');
        const number = document.createElement('span');
        number.className = 'number';
        number.textContent = `${firstMove.number + Math.floor((index + (firstMove.black ? 1 : 0)) / 2)}.`;
        row.append(number);
        if (move.color === 'b') row.append(Object.assign(document.createElement('span'), { className: 'move empty', textContent: '…' }));
        list.append(row);
      }
      const button = document.createElement('button');
      button.type = 'button';
      button.className = 'move';
      button.textContent = move.san;
      button.setAttribute('aria-current', ply === shownPly ? 'true' : 'false');
      button.addEventListener('click', () => select(ply));
      row.append(button);
    });
    // Only the list scrolls to the shown move, never the page.
    const shown = list.querySelector('[aria-current="true"]')?.closest('li');
    if (!shown) return;
    if (shown.offsetTop < list.scrollTop) list.scrollTop = shown.offsetTop;
    else if (shown.offsetTop + shown.offsetHeight > list.scrollTop + list.clientHeight)
      list.scrollTop = shown.offsetTop + shown.offsetHeight - list.clientHeight;
  }

  // ---- sentences, buttons, fields -----------------------------------------------

  setStatus(text) {
    $('status').textContent = text;
  }

  showResult(text) {
    $('result').textContent = text;
  }

  showThinking(thinking) {
    document.body.toggleAttribute('data-thinking', thinking);
  }

  // Enables each button named in the map (id: enabled).
  enableButtons(enabled) {
    for (const [id, on] of Object.entries(enabled)) $(id).disabled = !on;
  }

  showError(sentence) {
    const error = $('error');
    error.textContent = sentence;
    error.hidden = false;
    this.enableButtons({ analyse: false, stop: false, takeback: false });
    this.disableInput();
  }

  // The ms from the page's start to the engine's first line, and from its
  // Worker's start to its answer to uci.
  showEngineStart({ firstLine, uciok }) {
    document.body.dataset.engine = 'ready';
    $('engine-start').textContent = `The engine's first line came ${firstLine} ms after the page began to load; it answered uci ${uciok} ms after its Worker started.`;
  }

  // The new game form's values.
  readNewGame() {
    return {
      fen: $('fen').value.trim(),
      side: $('side').value,
      control: $('control').value,
      clockMinutes: Number($('clock-minutes').value),
      incrementSeconds: Number($('clock-increment').value),
      moveSeconds: Number($('move-seconds').value),
      level: Number($('level').value),
    };
  }

  setFenProblem(text) {
    $('fen-problem').textContent = text;
  }

  showControlFields() {
    const control = $('control').value;
    $('movetime-fields').hidden = control !== 'movetime';
    $('clock-fields').hidden = control !== 'clock';
    $('level-fields').hidden = control !== 'level';
    $('level-words').textContent = LEVELS[$('level').value].words;
  }

  showPgn(text) {
    $('pgn').value = text;
  }

  // Saves the PGN as a file through the browser's download.
  downloadPgn(name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([$('pgn').value], { type: 'application/x-chess-pgn' }));
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href));
  }

  async copyPgn() {
    try {
      await navigator.clipboard.writeText($('pgn').value);
      $('copy-state').textContent = 'The PGN is copied.';
    } catch {
      $('pgn-details').open = true;
      $('pgn').select();
      $('copy-state').textContent = 'Copying was refused: the PGN is selected below, copy it with Ctrl+C.';
    }
  }
}
