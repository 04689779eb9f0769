// The game review: the engine searches every position of a game in turn,
// each with the same go line, and its last score there becomes the
// position's evaluation from White's side. The moves are then judged by the
// score their player lost with them.
import { Game, moveWord } from './game.js';
import { describeScore } from './info.js';

// The settings a review offers; the engine keeps a little of each time in
// hand.
export const REVIEW_SETTINGS = [
  { go: 'go movetime 200', words: 'Quick: up to 0.2 s a position' },
  { go: 'go movetime 500', words: 'Normal: up to 0.5 s a position', default: true },
  { go: 'go movetime 2000', words: 'Thorough: up to 2 s a position' },
  { go: 'go depth 10', words: 'Depth 10: the same marks every time' },
];

// A mate counts as this many centipawns, more than any evaluation reaches.
export const MATE_CP = 100000;
// Beyond five pawns a game is decided: a move that keeps it decided loses
// nothing, so the scores are held within this bound before they are compared.
const DECIDED_CP = 500;

// The score a move loses, from its player's view, and what a player calls it.
export const JUDGEMENTS = [
  { kind: 'blunder', words: 'Blunder', plural: 'blunders', sign: '??', lostCp: 200 },
  { kind: 'mistake', words: 'Mistake', plural: 'mistakes', sign: '?', lostCp: 100 },
  { kind: 'inaccuracy', words: 'Inaccuracy', plural: 'inaccuracies', sign: '?!', lostCp: 50 },
];

// The evaluation of a position from the engine's score for the side to move:
// {cp: centipawns from White's side (mates as ±MATE_CP), text: "+0.35",
// "+M3", "-M2"}.
export function evaluationOf(score, sideToMove) {
  const whiteSign = sideToMove === 'w' ? 1 : -1;
  const cp = score.mate !== undefined ? whiteSign * Math.sign(score.mate || -1) * MATE_CP : whiteSign * score.cp;
  return { cp, text: describeScore(score, sideToMove).value };
}

// The evaluation of a position that ended the game with the result (as
// game.js gives it): a win scores as a mate, a draw as level. Null without
// a result.
export function endEvaluation(result) {
  if (!result) return null;
  if (result.score === '1-0') return { cp: MATE_CP, text: '1-0' };
  if (result.score === '0-1') return { cp: -MATE_CP, text: '0-1' };
  return { cp: 0, text: '½-½' };
}

const held = (cp) => Math.max(-DECIDED_CP, Math.min(DECIDED_CP, cp));

// The judgement of each move of a game from the evaluations of its
// positions (evaluations[ply], the start position at 0; missing ones are
// not judged): {lostCp, kind, words, sign}, or null for a good move.
export function judgeMoves(evaluations, firstMover) {
  const judgements = [];
  for (let ply = 1; ply < evaluations.length; ++ply) {
    const before = evaluations[ply - 1];
    const after = evaluations[ply];
    const whiteMoved = (ply % 2 === 1) === (firstMover === 'w');
    if (!before || !after) {
      judgements.push(null);
      continue;
    }
    const lostCp = (whiteMoved ? 1 : -1) * (held(before.cp) - held(after.cp));
    const judgement = JUDGEMENTS.find((candidate) => lostCp >= candidate.lostCp);
    judgements.push(judgement ? { ...judgement, lostCp } : null);
  }
  return judgements;
}

// Runs one review at a time through the engine session.
export class Review {
  constructor(session) {
    this.session = session;
    this.search = null;
    this.running = false;
  }

  // Searches the positions of the game from startFen with the moves
  // (chess.js's) one after the other, walking through the game once:
  // onPosition(ply, evaluation) after each, onDone(complete) at the end or
  // when stopped.
  start(startFen, moves, goLine, { onPosition, onDone }) {
    this.stop();
    this.running = true;
    // From an empty table, a review to a fixed depth gives the same scores
    // every time.
    this.session.newGame();
    const game = new Game(startFen);
    const words = moves.map(moveWord);
    const next = (ply) => {
      if (!this.running) return;
      if (ply > moves.length) {
        this.running = false;
        onDone(true);
        return;
      }
      if (ply > 0) game.play(moves[ply - 1]);
      const command = `position fen ${startFen}${ply > 0 ? ` moves ${words.slice(0, ply).join(' ')}` : ''}`;
      const ended = endEvaluation(game.result);
      if (ended) {
        onPosition(ply, ended);
        next(ply + 1);
        return;
      }
      let last = null;
      this.search = this.session.search(command, goLine, {
        onInfo: (info) => {
          if (!info.bound || !last) last = info;
        },
        onBestMove: () => {
          this.search = null;
          if (last) onPosition(ply, evaluationOf(last.score, game.turn));
          next(ply + 1);
        },
      });
    };
    this.onDone = onDone;
    next(0);
  }

  // Ends the review at once; the position being searched stays without an
  // evaluation.
  stop() {
    if (!this.running) return;
    this.running = false;
    if (this.search) this.session.cancel();
    this.search = null;
    this.onDone(false);
  }
}
