// The game and its rules: the start position, the moves played, who plays
// which side, how the game ended. Every rule (legal moves, check, the end of
// the game, SAN and PGN) is chess.js's.
import { Chess, validateFen } from './vendor/chess.js/chess.js';

export const START_FEN = 'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1';
export const COLOR_NAME = { w: 'White', b: 'Black' };
export const otherSide = (side) => (side === 'w' ? 'b' : 'w');
export { validateFen };

const PV_MOVES_SHOWN = 12;

// The move in the engine's words: from, to and the promotion piece.
export const moveWord = (move) => move.from + move.to + (move.promotion ?? '');
export const wordMove = (word) => ({ from: word.slice(0, 2), to: word.slice(2, 4), promotion: word[4] });

// The FEN with the fields it leaves out filled as the engine and chess.js
// fill them (no castling, no en passant square, move counters 0 and 1).
export function completeFen(fen) {
  const fields = fen.trim().split(/\s+/);
  const defaults = ['w', '-', '-', '0', '1'];
  return [...fields, ...defaults.slice(fields.length - 1)].join(' ');
}

// How a position ends the game, from the rules library; null while it goes on.
export function positionResult(chess) {
  const winner = otherSide(chess.turn());
  if (chess.isCheckmate()) return { score: winner === 'w' ? '1-0' : '0-1', text: `Checkmate: ${COLOR_NAME[winner]} wins.` };
  if (chess.isStalemate()) return { score: '1/2-1/2', text: 'Stalemate: a draw.' };
  if (chess.isInsufficientMaterial()) return { score: '1/2-1/2', text: 'Draw: neither side has the material to mate.' };
  if (chess.isThreefoldRepetition()) return { score: '1/2-1/2', text: 'Draw by threefold repetition.' };
  if (chess.isDrawByFiftyMoves()) return { score: '1/2-1/2', text: 'Draw by the fifty-move rule.' };
  return null;
}

// The principal variation in the moves' names, as far as its moves are legal.
export function pvInSan(fen, pv) {
  const chess = new Chess(fen);
  const names = [];
  for (const word of pv.slice(0, PV_MOVES_SHOWN)) {
    const number = chess.moveNumber();
    try {
      const move = chess.move(wordMove(word));
      const prefix = move.color === 'w' ? `${number}. ` : names.length === 0 ? `${number}… ` : '';
      names.push(prefix + move.san);
    } catch {
      break;
    }
  }
  return names.join(' ') + (pv.length > PV_MOVES_SHOWN ? ' …' : '');
}

// The square of the king in check in the chess.js game, or null.
export function checkedKing(chess) {
  if (!chess.isCheck()) return null;
  return chess.board().flat().find((man) => man?.type === 'k' && man.color === chess.turn()).square;
}

export class Game {
  constructor(startFen = START_FEN, human = 'w') {
    this.startFen = startFen;
    this.human = human;
    this.chess = new Chess(startFen);
    this.result = positionResult(this.chess);
  }

  get engineSide() {
    return otherSide(this.human);
  }

  get plies() {
    return this.chess.history().length;
  }

  get turn() {
    return this.chess.turn();
  }

  get humanToMove() {
    return this.turn === this.human;
  }

  // The moves as chess.js describes them (from, to, san, color, …).
  get moves() {
    return this.chess.history({ verbose: true });
  }

  // The game up to ply (all of it without one), as a chess.js game of its own.
  at(ply) {
    const chess = new Chess(this.startFen);
    for (const move of this.moves.slice(0, ply ?? this.plies)) chess.move(move);
    return chess;
  }

  legalMoves(square) {
    return this.chess.moves({ square, verbose: true });
  }

  // Plays a move and returns the result it brings, if any.
  play(move) {
    this.chess.move(move);
    this.result = positionResult(this.chess);
    return this.result;
  }

  undo() {
    this.chess.undo();
    this.result = null;
  }

  end(result) {
    this.result = result;
  }

  // The position command for the game up to ply, from the start position.
  positionCommand(ply) {
    const words = this.moves.slice(0, ply ?? this.plies).map(moveWord);
    return `position fen ${this.startFen}${words.length ? ` moves ${words.join(' ')}` : ''}`;
  }

  // The result when side's time runs out: a loss, unless the other side
  // has its king alone, which no series of moves lets mate.
  flagResult(side) {
    const winner = otherSide(side);
    const winnersMen = this.chess.board().flat().filter((square) => square?.color === winner).length;
    if (winnersMen === 1)
      return { score: '1/2-1/2', text: `${COLOR_NAME[side]}'s time ran out, but ${COLOR_NAME[winner]} cannot mate: a draw.` };
    return { score: winner === 'w' ? '1-0' : '0-1', text: `${COLOR_NAME[side]} lost on time: ${COLOR_NAME[winner]} wins.` };
  }

  // The game as plain values, for storage: {startFen, human, moves (the
  // engine's words), result}.
  record() {
    return { startFen: this.startFen, human: this.human, moves: this.moves.map(moveWord), result: this.result };
  }

  // The game of a record; chess.js throws on a move the record got wrong.
  static fromRecord(record) {
    const game = new Game(record.startFen, record.human);
    for (const word of record.moves) game.play(wordMove(word));
    if (record.result) game.end(record.result);
    return game;
  }

  // The number of the first move and whether Black makes it.
  get firstMove() {
    const chess = new Chess(this.startFen);
    return { number: chess.moveNumber(), black: chess.turn() === 'b' };
  }

  pgn(date) {
    const chess = this.chess;
    chess.setHeader('Event', 'Game against Marrowby');
    chess.setHeader('Date', date.toISOString().slice(0, 10).replaceAll('-', '.'));
    chess.setHeader('White', this.human === 'w' ? 'You' : 'Marrowby');
    chess.setHeader('Black', this.human === 'b' ? 'You' : 'Marrowby');
    chess.setHeader('Result', this.result ? this.result.score : '*');
    if (this.startFen !== START_FEN) {
      chess.setHeader('SetUp', '1');
      chess.setHeader('FEN', this.startFen);
    }
    return chess.pgn();
  }
}
