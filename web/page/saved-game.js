// The game in the browser's local storage, so that it survives a reload:
// the game's record, what ends the engine's search for a move, the clock's
// times and the board's side at the bottom.
import { Clock } from './clock.js';
import { Game } from './game.js';

const STORAGE_KEY = 'marrowby-game';

export function saveGame({ game, goLimit, clock, bottom }) {
  try {
    localStorage.setItem(STORAGE_KEY, JSON.stringify({ game: game.record(), goLimit, clock: clock?.record() ?? null, bottom }));
  } catch {
    // Storage refused (private mode, full): the game lives as long as the page.
  }
}

// The saved game as {game, goLimit, clock, bottom}, or null when there is
// none or it cannot be read back.
export function loadGame() {
  try {
    const saved = JSON.parse(localStorage.getItem(STORAGE_KEY));
    if (!saved || (typeof saved.goLimit !== 'string' && !saved.clock)) return null;
    return {
      game: Game.fromRecord(saved.game),
      goLimit: saved.goLimit,
      clock: saved.clock ? Clock.fromRecord(saved.clock) : null,
      bottom: saved.bottom,
    };
  } catch {
    return null;
  }
}
