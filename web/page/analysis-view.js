// The analysis board's own part of the page: the mode it shows, its fields,
// the evaluation bar beside the board, the review's graph of the evaluation
// over the moves, its progress and its count of the mistakes. Every score
// drawn is White's.
import { COLOR_NAME } from './game.js';
import { JUDGEMENTS, MATE_CP } from './review.js';
import { $ } from './view.js';

const STEP_KEYS = { ArrowLeft: -1, ArrowRight: 1 };
const FIELDS = new Set(['INPUT', 'TEXTAREA', 'SELECT']);
const SVG = 'http://www.w3.org/2000/svg';
const GRAPH_WIDTH = 600;
const GRAPH_HEIGHT = 200;
const POINT_RADIUS = 7;
// Room at the top and bottom for the points of won positions.
const GRAPH_MARGIN = POINT_RADIUS + 1;
const CENTIPAWNS_PER_PAWN = 100;
// The graph and the bar draw a score as White's share of the game: a logistic
// curve, steep near level and flat where the game is decided, so that a
// pawn's change counts for much in a close game and little in a won one.
const SHARE_SLOPE_PER_CP = 0.004;

// White's share, from 0 (Black wins) to 1 (White wins).
export const whiteShare = (cp) => 1 / (1 + Math.exp(-SHARE_SLOPE_PER_CP * Math.max(-MATE_CP, Math.min(MATE_CP, cp))));

// "-4.37" as "4.4", "+M3" as "M3"; results stay as they are.
const barText = (text) => (/^[+-]?\d+\.\d+$/.test(text) ? Math.abs(Number(text)).toFixed(1) : text.replace(/^[+-]/, ''));

// Shows the analysis board's parts (and hides the game's), or the reverse.
export function showMode(analysing) {
  document.body.dataset.mode = analysing ? 'analysis' : 'play';
  $('mode-play').setAttribute('aria-pressed', String(!analysing));
  $('mode-analysis').setAttribute('aria-pressed', String(analysing));
}

export function showFollowing(on) {
  $('follow').setAttribute('aria-pressed', String(on));
  $('follow').textContent = on ? 'Engine: on' : 'Engine: off';
}

// The review's settings ({go, words, default}) as the choices of its field.
export function offerSettings(settings) {
  $('review-setting').replaceChildren(
    ...settings.map(({ go, words, default: chosen }) => new Option(words, go, chosen, chosen)),
  );
}

// Calls step(-1 or 1) for the arrow keys, unless a field, the board or the
// move list (which steps on its own) has them; step returns whether it took
// the key.
export function onStepKey(step) {
  document.addEventListener('keydown', (event) => {
    if (event.defaultPrevented || !(event.key in STEP_KEYS)) return;
    if (FIELDS.has(event.target.tagName) || event.target.closest?.('#board')) return;
    if (step(STEP_KEYS[event.key])) event.preventDefault();
  });
}

export const chosenSetting = () => $('review-setting').value;
export const readStart = () => $('load-text').value.trim();
export function setStartProblem(text) {
  $('load-problem').textContent = text;
}

function svg(name, attributes) {
  const element = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
  return element;
}

// The bar beside the board: White's share from White's end of the board
// (the bottom, unless the board is turned), the score written on it;
// evaluation null draws it level and empty.
export function drawEvalBar(evaluation, whiteAtBottom) {
  const bar = $('eval-bar');
  bar.dataset.whiteAtBottom = String(whiteAtBottom);
  const share = evaluation ? whiteShare(evaluation.cp) : 1 / 2;
  bar.style.setProperty('--white-share', `${(share * 100).toFixed(1)}%`);
  const label = $('eval-bar-label');
  // The bar shows whose side it favours; its label needs no sign.
  label.textContent = evaluation ? barText(evaluation.text) : '';
  label.dataset.side = share >= 1 / 2 ? 'w' : 'b';
  bar.title = evaluation ? `White's view: ${evaluation.text}` : 'No evaluation yet';
  bar.setAttribute('aria-label', `Evaluation bar: ${bar.title}`);
}

// The review's graph: one point for each position reviewed (evaluations[ply],
// missing ones left out), the judged moves marked, the shown ply as a line;
// a click or tap on the graph calls select(ply) with the nearest ply.
export function drawGraph(evaluations, judgements, shownPly, select) {
  $('review-chart').hidden = evaluations.length === 0;
  const graph = $('review-graph');
  graph.replaceChildren();
  const plies = Math.max(evaluations.length - 1, 1);
  const x = (ply) => (ply / plies) * GRAPH_WIDTH;
  const y = (cp) => GRAPH_MARGIN + (1 - whiteShare(cp)) * (GRAPH_HEIGHT - 2 * GRAPH_MARGIN);
  graph.append(svg('rect', { class: 'black-area', x: 0, y: 0, width: GRAPH_WIDTH, height: GRAPH_HEIGHT }));
  const points = evaluations.map((evaluation, ply) => evaluation && [x(ply), y(evaluation.cp)]).filter(Boolean);
  if (points.length > 0) {
    const line = points.map(([px, py]) => `${px.toFixed(1)},${py.toFixed(1)}`).join(' ');
    const [firstX] = points[0];
    const [lastX] = points.at(-1);
    graph.append(svg('polygon', { class: 'white-area', points: `${firstX},${GRAPH_HEIGHT} ${line} ${lastX},${GRAPH_HEIGHT}` }));
    graph.append(svg('polyline', { class: 'score-line', points: line }));
  }
  graph.append(svg('line', { class: 'level', x1: 0, y1: GRAPH_HEIGHT / 2, x2: GRAPH_WIDTH, y2: GRAPH_HEIGHT / 2 }));
  graph.append(svg('line', { class: 'shown', x1: x(shownPly), y1: 0, x2: x(shownPly), y2: GRAPH_HEIGHT }));
  judgements.forEach((judgement, index) => {
    const evaluation = evaluations[index + 1];
    if (!judgement || !evaluation) return;
    const point = svg('circle', { class: `point ${judgement.kind}`, cx: x(index + 1), cy: y(evaluation.cp), r: POINT_RADIUS });
    point.append(svg('title', {}));
    point.firstChild.textContent = `${judgement.words}: ${evaluation.text}`;
    graph.append(point);
  });
  graph.onclick = (event) => {
    const box = graph.getBoundingClientRect();
    select(Math.round(((event.clientX - box.left) / box.width) * plies));
  };
}

// The review's progress: done of total positions, or null when none runs.
export function drawProgress(progress) {
  $('review-progress-row').hidden = !progress;
  if (!progress) return;
  $('review-progress').max = progress.total;
  $('review-progress').value = progress.done;
  $('review-progress-text').textContent = `Position ${progress.done} of ${progress.total}`;
}

// How many moves of each kind each side made, as a sentence per side.
export function drawSummary(judgements, firstMover, reviewed) {
  const summary = $('review-summary');
  summary.replaceChildren();
  if (!reviewed) return;
  for (const side of ['w', 'b']) {
    const mine = judgements.filter((judgement, index) => judgement && (index % 2 === 0) === (firstMover === side));
    const counts = JUDGEMENTS.map(({ kind, words, plural }) => {
      const count = mine.filter((judgement) => judgement.kind === kind).length;
      return `<span class="${kind}">${count} ${count === 1 ? words.toLowerCase() : plural}</span>`;
    });
    const row = document.createElement('li');
    row.innerHTML = `${COLOR_NAME[side]}: ${counts.join(', ')}`;
    summary.append(row);
  }
}

// Marks each judged move in the move list (its buttons, one a move in the
// order played) with its sign, and says in its title what it lost.
export function markMoves(judgements) {
  const buttons = document.querySelectorAll('#moves button.move');
  buttons.forEach((button, index) => {
    const judgement = judgements[index];
    button.querySelector('.sign')?.remove();
    button.classList.remove(...JUDGEMENTS.map(({ kind }) => kind));
    button.removeAttribute('title');
    if (!judgement) return;
    button.classList.add(judgement.kind);
    button.append(Object.assign(document.createElement('span'), { className: 'sign', textContent: judgement.sign }));
    button.title = `${judgement.words}: ${(judgement.lostCp / CENTIPAWNS_PER_PAWN).toFixed(2)} pawns lost`;
  });
}
