// The analysis board: a line of moves that the person plays for both sides,
// from any start position, with one position of it shown; the engine follows
// the shown position with an infinite search. Each change ends the running
// search without its answer, so nothing the engine says about one position
// reaches another.
import { Chess } from './vendor/chess.js/chess.js';
import { Game, moveWord } from './game.js';

// The tag pairs that the analysis board writes itself.
const OWN_TAGS = ['SetUp', 'FEN'];

// The start position, moves and tag pairs of a PGN, as the rules library
// reads it; throws its error when it cannot.
export function readPgn(text) {
  const chess = new Chess();
  chess.loadPgn(text);
  const moves = chess.history({ verbose: true });
  const headers = Object.fromEntries(Object.entries(chess.getHeaders()).filter(([name]) => !OWN_TAGS.includes(name)));
  return { startFen: moves[0]?.before ?? chess.fen(), moves, headers };
}

// A FEN rather than a PGN: it starts with the board's first rank.
export const looksLikeFen = (text) => /^\s*[1-8pnbrqkPNBRQK]+\//.test(text);

export class Analysis {
  // session: the engine's, or null without one; onInfo({info, fen}) for
  // each info line of the shown position's search.
  constructor(session, onInfo) {
    this.session = session;
    this.onInfo = onInfo;
    this.line = new Game();
    this.moves = []; // the line's moves, as chess.js describes them
    this.ply = 0;
    this.shownGame = null; // the shown position's game, until the next change
    this.following = Boolean(session);
    this.lent = false; // the engine is lent to a review
    this.search = null;
  }

  // Starts a new line from startFen with the moves (chess.js's, or their
  // SAN), shown at ply (the last one without it).
  load(startFen, moves = [], ply = moves.length) {
    this.line = new Game(startFen);
    for (const move of moves) this.line.play(move);
    this.moves = this.line.moves;
    this.ply = Math.max(0, Math.min(ply, this.line.plies));
    this.shownGame = null;
    this.follow();
  }

  // The shown position as a chess.js game (its moves the line's up to it).
  get shown() {
    this.shownGame ??= this.line.at(this.ply);
    return this.shownGame;
  }

  // Shows the line's position at ply (held to the line).
  show(ply) {
    const target = Math.max(0, Math.min(this.line.plies, ply));
    if (target === this.ply) return false;
    this.ply = target;
    this.shownGame = null;
    this.follow();
    return true;
  }

  // Plays the move in the shown position. The line's next move keeps the
  // line; any other move replaces the rest of it. Returns the first ply
  // that changed, or null when only the shown ply moved on.
  play(move) {
    const next = this.moves[this.ply];
    // The shown game takes the move and stays the shown one.
    const played = this.shown.move(move);
    this.ply += 1;
    if (next && moveWord(next) === moveWord(played)) {
      this.follow();
      return null;
    }
    while (this.line.plies >= this.ply) this.line.undo();
    this.line.play(move);
    this.moves = [...this.moves.slice(0, this.ply - 1), played];
    this.follow();
    return this.ply;
  }

  // Turns the engine's following on or off.
  setFollowing(on) {
    this.following = on;
    this.follow();
  }

  // Ends the running search without its answer.
  pause() {
    if (this.search) this.session.cancel();
    this.search = null;
  }

  // Searches the shown position until the next change, when following, the
  // engine is not lent and the position has moves.
  follow() {
    this.pause();
    const shown = this.shown;
    if (!this.following || this.lent || shown.isGameOver()) return;
    const position = this.line.positionCommand(this.ply);
    const fen = shown.fen();
    this.session.evaluate(position, shown.turn());
    const search = this.session.search(position, 'go infinite', {
      onInfo: (info) => {
        if (this.search === search) this.onInfo({ info, fen });
      },
      onBestMove: () => {},
    });
    this.search = search;
  }
}
