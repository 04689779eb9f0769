// The players' clocks: the time each side has left, charged to the side to
// move, with an increment after each move.
export const MS_PER_SECOND = 1000;
export const MS_PER_MINUTE = 60 * MS_PER_SECOND;
export const CLOCK_TICK_MS = 100;
const TENTHS_PER_SECOND = 10;
const SECONDS_PER_MINUTE = 60;
const TENTHS_SHOWN_BELOW_SECONDS = 10;

// "4:59", and with tenths below ten seconds "0:09.4".
export function formatClock(ms) {
  const tenths = Math.max(0, Math.ceil(ms / CLOCK_TICK_MS));
  const seconds = Math.floor(tenths / TENTHS_PER_SECOND);
  const text = `${Math.floor(seconds / SECONDS_PER_MINUTE)}:${String(seconds % SECONDS_PER_MINUTE).padStart(2, '0')}`;
  return seconds < TENTHS_SHOWN_BELOW_SECONDS ? `${text}.${tenths % TENTHS_PER_SECOND}` : text;
}

export class Clock {
  constructor(totalMs, incrementMs, now = performance.now()) {
    this.incrementMs = incrementMs;
    this.left = { w: totalMs, b: totalMs };
    this.since = now;
    this.marks = [{ ...this.left }]; // the times left as each ply began
  }

  // Charges the time since the last charge to the side to move.
  charge(turn, now = performance.now()) {
    this.left[turn] -= now - this.since;
    this.since = now;
  }

  // Charges the mover and adds the increment for the move.
  moved(mover, now = performance.now()) {
    this.charge(mover, now);
    this.left[mover] += this.incrementMs;
    this.marks.push({ ...this.left });
  }

  // The clock as plain values, for storage, and the clock of such values,
  // running from now.
  record() {
    return { incrementMs: this.incrementMs, left: this.left, marks: this.marks };
  }

  static fromRecord(record, now = performance.now()) {
    const clock = new Clock(0, record.incrementMs, now);
    clock.left = { ...record.left };
    clock.marks = record.marks.map((mark) => ({ ...mark }));
    return clock;
  }

  // Sets the times back to those of the game's ply (counted from the game's
  // first), as a take back does.
  takeBack(ply, now = performance.now()) {
    this.marks.length = ply + 1;
    this.left = { ...this.marks[ply] };
    this.since = now;
  }

  // Counts on from now after a pause: the time between is nobody's.
  resume(now = performance.now()) {
    this.since = now;
  }

  // The time side has left, counting the running time when it is to move.
  remaining(side, running, now = performance.now()) {
    return this.left[side] - (running ? now - this.since : 0);
  }
}
