// The analysis board and the game review in headless Chromium, through the
// real page and engine:
//   node --test web/test/analysis.test.js      (after make web)
// MARROWBY_WEB (default build/web) is the built page, CHROMIUM the browser.
// Screenshots of a review at phone and desktop size go to the page's folder
// (review-phone.png, review.png).
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { Chess } = require('chess.js');
const { launchChromium } = require('../headless-chromium.js');
const { serve } = require('../serve.js');

const pageFolder = path.resolve(process.env.MARROWBY_WEB || path.join(__dirname, '../../build/web'));
const ENGINE_START_MS = 30000;
const ANSWER_MS = 20000;
const REVIEW_MS = 60000;
// How long a stale answer would take to show after a change.
const STALE_WINDOW_MS = 400;
// Longer than the board's piece animation.
const ANIMATION_MS = 500;
const SCHOLARS_MATE = '1. e4 e5 2. Qh5 Nc6 3. Bc4 Nf6 4. Qxf7#';
const QUICK = 'go movetime 200';
const THOROUGH = 'go movetime 2000';

let server;
let browser;

before(async () => {
  assert.ok(fs.existsSync(path.join(pageFolder, 'index.html')), `no page in ${pageFolder}: run make web`);
  server = await serve(pageFolder, 0, true);
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  server?.close();
});

// A page of its own at the size, once the engine answered.
async function openPage(viewport, prepare = async () => {}) {
  const page = await browser.newPage();
  page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
  await page.setViewportSize(viewport);
  await page.addInitScript(() => localStorage.clear());
  await prepare(page);
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForSelector('body[data-engine="ready"]', { timeout: ENGINE_START_MS });
  return page;
}

// A page on the analysis board.
async function openBoard(viewport) {
  const page = await openPage(viewport);
  await page.click('#mode-analysis');
  // Every best line the engine panel shows, with the position shown then
  // (the game's PGN and the shown move's place in it).
  await page.evaluate(() => {
    window.shownLines = [];
    const pv = document.getElementById('info-pv');
    new MutationObserver(() => window.shownLines.push({ line: pv.textContent, at: window.shownPosition() })).observe(pv, {
      childList: true,
      characterData: true,
      subtree: true,
    });
    window.shownPosition = () => {
      const moves = [...document.querySelectorAll('#moves button.move')];
      return `${document.getElementById('pgn').value} ${moves.findIndex((move) => move.ariaCurrent === 'true')}`;
    };
  });
  return page;
}

const until = (page, predicate, argument, timeout = ANSWER_MS) => page.waitForFunction(predicate, argument, { timeout });
const moveTexts = (page) => page.locator('#moves button.move').allTextContents();
const shownMove = (page) => page.locator('#moves [aria-current="true"]').textContent();

async function load(page, text) {
  await page.fill('#load-text', text);
  await page.click('#load');
}

// The first move of a best line as the panel writes it ("3… Nf6 4. Qxf7#").
const firstMove = (line) => line.split(' ').find((word) => !/^\d+\.|^\d+…$/.test(word) && word !== '…');

// Waits for the engine's line on the shown position (its FEN), and checks
// that every line shown on it, for as long as a stale one could come, is
// one of that position.
async function expectLinesOf(page, fen) {
  await until(page, () => /^\d/.test(document.getElementById('info-depth').textContent));
  await page.waitForTimeout(STALE_WINDOW_MS);
  const lines = await page.evaluate(() =>
    window.shownLines
      .splice(0)
      .filter(({ line, at }) => line !== '–' && at === window.shownPosition())
      .map(({ line }) => line),
  );
  assert.ok(lines.length > 0, 'the engine analyses the position');
  for (const line of lines) assert.doesNotThrow(() => new Chess(fen).move(firstMove(line)), `"${line}" belongs to ${fen}`);
}

test('the analysis board takes moves for both sides, the engine following each position and no other', async () => {
  const page = await openBoard({ width: 1280, height: 800 });
  const game = new Chess();
  for (const [from, to] of [['e2', 'e4'], ['e7', 'e5'], ['g1', 'f3']]) {
    await page.click(`#board [data-square="${from}"]`);
    await page.click(`#board rect[data-square="${to}"]`);
    game.move({ from, to });
    await until(page, (count) => document.querySelectorAll('#moves button.move').length === count, game.history().length);
    await expectLinesOf(page, game.fen());
  }
  assert.deepEqual(await moveTexts(page), ['e4', 'e5', 'Nf3']);
  // Stepping back and forth, by the buttons and the arrow keys, the engine follows.
  await page.click('#first');
  await expectLinesOf(page, new Chess().fen());
  await page.locator('body').press('ArrowRight');
  assert.equal(await shownMove(page), 'e4');
  await expectLinesOf(page, game.history({ verbose: true })[1].before);
  await page.click('#latest');
  await page.locator('body').press('ArrowLeft');
  assert.equal(await shownMove(page), 'e5');
  // A move from an earlier position replaces the rest of the line.
  await page.click('#board [data-square="b1"]');
  await page.click('#board rect[data-square="c3"]');
  await until(page, () => document.querySelector('#moves [aria-current="true"]')?.textContent === 'Nc3');
  assert.deepEqual(await moveTexts(page), ['e4', 'e5', 'Nc3']);
  // Switched off, the engine analyses no other position.
  await page.click('#follow');
  assert.equal(await page.locator('#follow').textContent(), 'Engine: off');
  await page.click('#previous');
  await page.waitForTimeout(STALE_WINDOW_MS);
  assert.equal(await page.locator('#info-pv').textContent(), '–');
  await page.close();
});

test('a FEN the engine rejects is refused with its sentence; a FEN or a PGN sets the board up', async () => {
  const page = await openBoard({ width: 1280, height: 800 });
  await load(page, '4k3/8/8/8/8/8/8/R3K2R w KQkq - 0 1');
  await until(page, () => /castl/i.test(document.getElementById('load-problem').textContent));
  assert.match(await page.locator('#load-problem').textContent(), /^The engine cannot play this FEN: /);
  const endgame = '4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1';
  await load(page, endgame);
  await until(page, () => document.getElementById('load-problem').textContent === '');
  await expectLinesOf(page, endgame);
  await load(page, `[Event "Scholar's mate"]\n\n${SCHOLARS_MATE} 1-0`);
  await until(page, () => document.querySelectorAll('#moves button.move').length === 7);
  // The game starts at its first position, and its PGN keeps its tags.
  assert.equal(await page.locator('#moves [aria-current="true"]').count(), 0);
  await page.click('#next');
  assert.equal(await shownMove(page), 'e4');
  assert.match(await page.inputValue('#pgn'), /\[Event "Scholar's mate"\][^]*4\. Qxf7# 1-0/);
  await load(page, '1. e4 e5 2. Ke3');
  await until(page, () => /^This PGN cannot be read/.test(document.getElementById('load-problem').textContent));
  assert.equal((await moveTexts(page)).length, 7, 'the board keeps its game');
  await page.close();
});

test('a review marks the blunder, draws the graph that leads to each position, and the bar shows the mate', async () => {
  const page = await openBoard({ width: 1280, height: 800 });
  await load(page, SCHOLARS_MATE);
  await until(page, () => document.querySelectorAll('#moves button.move').length === 7);
  await page.selectOption('#review-setting', QUICK);
  await page.click('#review-start');
  await until(page, () => document.querySelectorAll('#review-summary li').length === 2, null, REVIEW_MS);
  assert.deepEqual(await page.locator('#moves button.blunder').allTextContents(), ['Nf6??']);
  assert.match(await page.locator('#moves button.blunder').getAttribute('title'), /^Blunder: \d+\.\d\d pawns lost$/);
  assert.match(await page.locator('#review-summary').textContent(), /Black: 1 blunder,/);
  assert.equal(await page.locator('#review-graph .point.blunder').count(), 1);
  const buttons = await page.locator('#follow').boundingBox();
  assert.ok(buttons.y + buttons.height <= 800, 'at 1280x800 the buttons under the board are in view');
  // A click on the graph at the sixth of seven moves shows the position after 3…Nf6.
  const graph = await page.locator('#review-graph').boundingBox();
  await page.mouse.click(graph.x + (graph.width * 6) / 7, graph.y + graph.height / 2);
  assert.equal(await shownMove(page), 'Nf6??');
  await until(page, () => document.getElementById('eval-bar-label').textContent === 'M1');
  assert.match(await page.locator('#eval-bar').getAttribute('title'), /White's view: \+M1/);
  await page.click('#latest');
  assert.equal(await page.locator('#eval-bar-label').textContent(), '1-0');
  // To a fixed depth, a review gives the same scores every time.
  const graphs = [];
  for (let review = 0; review < 2; ++review) {
    await page.selectOption('#review-setting', 'go depth 10');
    await page.click('#review-start');
    await until(page, () => document.getElementById('review-progress-row').hidden, null, REVIEW_MS);
    graphs.push(await page.locator('#review-graph .score-line').getAttribute('points'));
  }
  assert.equal(graphs[0], graphs[1]);
  await page.close();
});

test('a review shows its progress and stops at once; on a phone the board, bar and graph fit', async () => {
  const page = await openBoard({ width: 390, height: 844 });
  await load(page, fs.readFileSync(path.join(__dirname, '../../bench/review_game.pgn'), 'utf8'));
  await until(page, () => document.querySelectorAll('#moves button.move').length === 80);
  await page.selectOption('#review-setting', THOROUGH);
  await page.click('#review-start');
  await until(page, () => document.getElementById('review-progress').value >= 2);
  assert.match(await page.locator('#review-progress-text').textContent(), /^Position \d+ of 81$/);
  await page.click('#review-stop');
  assert.equal(await page.locator('#review-progress-row').isHidden(), true);
  assert.equal(await page.locator('#review-summary li').count(), 0, 'a stopped review judges no game');
  assert.match(await page.locator('#status').textContent(), /engine analyses the shown position/);
  // The board, the bar beside it and the graph sit within the phone's width.
  assert.ok((await page.evaluate(() => document.documentElement.scrollWidth)) <= 390, 'nothing is wider than the phone');
  const board = await page.locator('#board').boundingBox();
  const bar = await page.locator('#eval-bar').boundingBox();
  assert.ok(bar.x + bar.width <= board.x && Math.abs(bar.height - board.height) <= 1, 'the bar stands beside the board');
  assert.ok(board.y + board.height <= 844, 'the board is in view');
  await page.selectOption('#review-setting', QUICK);
  await page.click('#review-start');
  await until(page, () => document.querySelectorAll('#review-summary li').length === 2, null, REVIEW_MS);
  const graph = await page.locator('#review-graph').boundingBox();
  assert.ok(graph.width > 300 && graph.x + graph.width <= 390, 'the graph spans the phone');
  await page.screenshot({ path: path.join(pageFolder, 'review-phone.png'), fullPage: true });
  await page.setViewportSize({ width: 1280, height: 800 });
  await page.evaluate(() => window.scrollTo(0, 0));
  const wide = await page.locator('#review-graph').boundingBox();
  await page.mouse.click(wide.x + wide.width / 2, wide.y + wide.height / 2);
  await page.mouse.move(0, 0);
  await page.waitForTimeout(ANIMATION_MS);
  await until(page, () => /^\d/.test(document.getElementById('info-depth').textContent));
  await page.screenshot({ path: path.join(pageFolder, 'review.png') });
  await page.close();
});

test('the game in play waits, its clock stopped, while the analysis board is shown', async () => {
  const page = await openPage({ width: 1280, height: 800 }, (opened) => opened.clock.install());
  await page.selectOption('#control', 'clock');
  await page.fill('#clock-minutes', '1');
  await page.click('#new-game');
  await page.waitForSelector('#new-game:enabled');
  await page.click('#board [data-square="e2"]');
  await page.click('#board rect[data-square="e4"]');
  // The page plays a dropped piece's move on a timer: wait for the engine's answer.
  await until(
    page,
    () =>
      document.querySelectorAll('#moves button.move').length === 2 &&
      /Your move/.test(document.getElementById('status').textContent),
  );
  const [game, clock] = [await moveTexts(page), await page.locator('#clock-w').textContent()];
  await page.click('#mode-analysis');
  assert.deepEqual(await moveTexts(page), game, 'the board starts from the game in play');
  await page.clock.fastForward(2 * 60000);
  await page.click('#mode-play');
  await page.clock.fastForward(1000);
  assert.equal(await page.locator('#result').textContent(), '', 'no flag fell');
  const seconds = (text) => text.split(':').reduce((minutes, part) => minutes * 60 + Number(part));
  const left = seconds(await page.locator('#clock-w').textContent());
  assert.ok(left >= seconds(clock) - 1 && left < seconds(clock), `White's clock runs on from ${clock}`);
  assert.deepEqual(await moveTexts(page), game);
  await page.close();
});
