// The engine's info lines and evaluation report, read into values for the
// page to show. The words are the UCI protocol's and the report's own; the
// chess in them (moves, scores) stays as the engine wrote it.

const NUMBER_FIELDS = ['depth', 'seldepth', 'nodes', 'nps', 'time', 'multipv', 'hashfull'];

// {depth, seldepth, nodes, nps, time, score: {cp}|{mate}, bound, pv: [moves]}
export function parseInfo(line) {
  const words = line.split(' ');
  const info = { pv: [] };
  for (let at = 1; at < words.length; ++at) {
    const word = words[at];
    if (NUMBER_FIELDS.includes(word)) {
      info[word] = Number(words[++at]);
    } else if (word === 'score') {
      const kind = words[++at];
      info.score = { [kind]: Number(words[++at]) };
      if (words[at + 1] === 'lowerbound' || words[at + 1] === 'upperbound') info.bound = words[++at];
    } else if (word === 'pv') {
      info.pv = words.slice(at + 1);
      break;
    }
  }
  return info;
}

const CENTIPAWNS_PER_PAWN = 100;

// The score as a pawn value from White's side ("+0.35") and in words, from
// the engine's score for the side to move ('w' or 'b').
export function describeScore(score, sideToMove) {
  const whiteSign = sideToMove === 'w' ? 1 : -1;
  if (score.mate !== undefined) {
    const moves = Math.abs(score.mate);
    const winnerIsMover = score.mate > 0;
    const winner = winnerIsMover === (sideToMove === 'w') ? 'White' : 'Black';
    if (score.mate === 0) return { value: '#0', words: `${sideToMove === 'w' ? 'White' : 'Black'} is mated` };
    return { value: `${winner === 'White' ? '+' : '-'}M${moves}`, words: `mate in ${moves} for ${winner}` };
  }
  const pawns = (whiteSign * score.cp) / CENTIPAWNS_PER_PAWN;
  const value = `${pawns > 0 ? '+' : ''}${pawns.toFixed(2)}`;
  const words = pawns === 0 ? 'level' : `${pawns > 0 ? 'White' : 'Black'} is ${Math.abs(pawns).toFixed(2)} pawns better`;
  return { value, words };
}

// The evaluation report: its header names the columns, each term row holds
// four numbers, the rows after the rule one number each.
export function parseReport(lines) {
  const report = { columns: [], terms: [], totals: [] };
  for (const line of lines) {
    if (/^\s+WHITE MG/.test(line)) {
      report.columns = line.trim().split(/\s{2,}/);
      continue;
    }
    if (/^-+$/.test(line)) continue;
    const match = /^(.*?)\s+(-?\d+(?:\s+-?\d+)*)$/.exec(line);
    if (!match) continue;
    const numbers = match[2].split(/\s+/).map(Number);
    if (numbers.length === report.columns.length) report.terms.push({ label: match[1], values: numbers });
    else report.totals.push({ label: match[1], value: numbers[0] });
  }
  return report;
}

// The first and last line of the report as the engine writes it.
export const REPORT_FIRST_LINE = /^\s+WHITE MG/;
export const REPORT_LAST_LINE = /^Tapered Score/;
