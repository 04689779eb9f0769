// The page in headless Chromium (Debian's), driven by playwright-core:
//   node --test web/test/browser.test.js      (after make web)
// MARROWBY_WEB (default build/web) is the built page, CHROMIUM the browser.
// A screenshot of the page after a few moves goes to the page's folder.
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
const STOP_MS = 2000;
// Longer than the board's piece animation.
const ANIMATION_MS = 500;

let isolatedServer;
let plainServer;
let browser;
let page;

const address = (server) => `http://127.0.0.1:${server.address().port}/`;
const text = (selector) => page.locator(selector).textContent();
const moveCount = () => page.locator('#moves button.move').count();

async function waitForMoves(count) {
  await page.waitForFunction((wanted) => document.querySelectorAll('#moves button.move').length >= wanted, count, {
    timeout: ANSWER_MS,
  });
}

async function clickSquares(from, to, on = page) {
  await on.click(`#board [data-square="${from}"]`);
  await on.click(`#board rect[data-square="${to}"]`);
}

// A new page of its own at the size, once the engine answered.
async function openPage(viewport, prepare = async () => {}) {
  const opened = await browser.newPage();
  opened.on('pageerror', (error) => console.error(`page error: ${error.message}`));
  await opened.setViewportSize(viewport);
  // A game the other pages left in storage stays out of this one.
  await opened.addInitScript(() => localStorage.clear());
  await prepare(opened);
  await opened.goto(address(isolatedServer));
  await opened.waitForSelector('body[data-engine="ready"]', { timeout: ENGINE_START_MS });
  return opened;
}

// Starts a new game from the form, once the engine has looked at its FEN.
async function startGame(on) {
  await on.click('#new-game');
  await on.waitForSelector('#new-game:enabled', { timeout: ANSWER_MS });
}

const until = (on, predicate, argument) => on.waitForFunction(predicate, argument, { timeout: ANSWER_MS });

before(async () => {
  assert.ok(fs.existsSync(path.join(pageFolder, 'index.html')), `no page in ${pageFolder}: run make web`);
  isolatedServer = await serve(pageFolder, 0, true);
  plainServer = await serve(pageFolder, 0, false);
  browser = await launchChromium({ viewport: { width: 1100, height: 900 } });
  page = await browser.newPage();
  page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
});

after(async () => {
  await browser?.close();
  isolatedServer?.close();
  plainServer?.close();
});

test('the page loads cross-origin isolated and the engine answers uci', async () => {
  const started = Date.now();
  await page.goto(address(isolatedServer));
  assert.equal(await page.evaluate(() => self.crossOriginIsolated), true);
  await page.waitForSelector('body[data-engine="ready"]', { timeout: ENGINE_START_MS });
  console.log(`uciok ${Date.now() - started} ms after the page was asked for (${await text('#engine-start')})`);
  assert.equal(await page.locator('#error').isHidden(), true);
  assert.match(await text('#status'), /Your move/);
});

test('a move on the board is answered by a legal engine move, and the info panel follows the search', async () => {
  await page.selectOption('#side', 'w');
  await page.fill('#move-seconds', '1');
  await startGame(page);
  await clickSquares('e2', 'e4');
  // While the engine thinks, its best move so far is drawn as an arrow.
  await page.waitForSelector('body[data-thinking] #board .arrow-info', { state: 'attached', timeout: ANSWER_MS });
  await waitForMoves(2);
  const moves = await page.locator('#moves button.move').allTextContents();
  assert.equal(moves[0], 'e4');
  const game = new Chess();
  game.move('e4');
  assert.doesNotThrow(() => game.move(moves[1]), `the engine's answer ${moves[1]} is a legal move`);
  assert.match(await text('#info-depth'), /^\d+/);
  assert.match(await text('#info-nodes'), /^[\d,]+$/);
  assert.notEqual(await text('#info-pv'), '–');
  assert.match(await text('#eval-table'), /Material/);
  // Each score says from whose side it is.
  assert.match(await text('#thinking'), /White's view/);
  assert.match(await text('#eval-side'), /White's, the side to move/);
  // Two more moves for the screenshot.
  await page.waitForSelector('body:not([data-thinking])');
  await clickSquares('g1', 'f3');
  await waitForMoves(4);
  await page.waitForFunction(() => /Your move/.test(document.querySelector('#status').textContent));
  await page.waitForTimeout(ANIMATION_MS);
  await page.screenshot({ path: path.join(pageFolder, 'screenshot.png'), fullPage: true });
  // Taking back removes the engine's answer and the move before it.
  await page.click('#takeback');
  assert.deepEqual(await page.locator('#moves button.move').allTextContents(), moves);
});

test('go infinite runs until Stop, which is answered at once', async () => {
  await page.click('#analyse');
  await page.waitForFunction(() => /Analysing/.test(document.querySelector('#status').textContent));
  await page.waitForFunction(() => /^\d+/.test(document.querySelector('#info-depth').textContent), null, {
    timeout: ANSWER_MS,
  });
  await page.waitForTimeout(500);
  assert.match(await text('#status'), /Analysing/, 'the analysis goes on without a limit');
  const stopped = Date.now();
  await page.click('#stop');
  await page.waitForFunction(() => /Analysis stopped/.test(document.querySelector('#status').textContent), null, {
    timeout: STOP_MS,
  });
  console.log(`stop answered within ${Date.now() - stopped} ms (click to status)`);
  assert.equal(await page.locator('#board .arrow-success').count(), 1, 'the best move is drawn as an arrow');
});

test('a position with a mate in one is answered with the mate', async () => {
  await page.selectOption('#side', 'b');
  await page.fill('#fen', '6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1');
  await startGame(page);
  await until(page, () => document.querySelector('#moves button.move')?.textContent === 'Rd8#');
  assert.match(await text('#result'), /Checkmate: White wins/);
  assert.match(await page.inputValue('#pgn'), /1\. Rd8# 1-0/);
  assert.equal(await moveCount(), 1);
  // The depth that found the mate, not the depths run through after it,
  // and no speed from a few milliseconds.
  assert.match(await text('#info-depth'), /^\d \(mate found\)$/);
  assert.equal(await text('#info-speed'), '–');
});

test('a FEN is played only when the engine takes it, a FEN of four fields too', async () => {
  const rejected = [
    ['4k3/8/8/8/8/8/8/R3K2R w KQkq - 0 1', 'castling right k without king and rook'],
    ['4k3/8/8/8/8/8/4Q3/4K3 w - - 0 1', 'the side not to move is in check'],
    ['rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e6 0 1', 'no pawn just advanced two squares'],
  ];
  await page.selectOption('#side', 'w');
  for (const [fen, sentence] of rejected) {
    await page.fill('#fen', fen);
    await startGame(page);
    await until(page, (words) => document.querySelector('#fen-problem').textContent.includes(words), sentence);
    assert.match(await text('#fen-problem'), /^The engine cannot play this FEN: /);
    assert.deepEqual(await page.locator('#moves button.move').allTextContents(), ['Rd8#'], 'the game stays');
  }
  await page.fill('#fen', '4k3/8/8/8/8/8/8/4K2R w K -');
  await startGame(page);
  await until(page, () => /Your move/.test(document.querySelector('#status').textContent));
  assert.equal(await text('#fen-problem'), '');
  await page.waitForTimeout(ANIMATION_MS);
  assert.equal(await page.locator('#board [data-piece]').count(), 3);
});

test('flip moves the players, a clock hides the move time, and lines stay on their position', async () => {
  await page.click('#flip');
  assert.equal(await page.locator('#player-bottom #name-b').count(), 1, 'Black is at the bottom');
  await page.click('#flip');
  await page.selectOption('#control', 'clock');
  assert.equal(await page.locator('#move-seconds').isVisible(), false);
  await page.selectOption('#control', 'movetime');
  await clickSquares('h1', 'h7');
  await waitForMoves(2);
  await page.waitForSelector('body:not([data-thinking])');
  await page.click('#analyse');
  await until(page, () => /^\d+/.test(document.querySelector('#info-depth').textContent));
  await page.click('#stop');
  await page.waitForSelector('#board .arrow-success', { state: 'attached', timeout: STOP_MS });
  await page.click('#first');
  await page.waitForTimeout(ANIMATION_MS);
  assert.equal(await page.locator('#board .arrow-success, #board .arrow-info').count(), 0, 'no arrow on the start');
  assert.equal(await text('#info-pv'), '–');
});

test('a level limits the search, the game survives a reload and its PGN downloads as a file', async () => {
  await page.selectOption('#control', 'level');
  await page.selectOption('#level', '0'); // the weakest
  await page.fill('#fen', '');
  await startGame(page);
  await clickSquares('e2', 'e4');
  await waitForMoves(2);
  assert.match(await text('#info-depth'), /^1(\/\d+)?$/, 'the beginner searches one ply');
  const moves = await page.locator('#moves button.move').allTextContents();
  await page.reload();
  await page.waitForSelector('body[data-engine="ready"]', { timeout: ENGINE_START_MS });
  assert.deepEqual(await page.locator('#moves button.move').allTextContents(), moves);
  assert.match(await text('#status'), /Your move/);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#download-pgn')]);
  assert.match(download.suggestedFilename(), /^marrowby-[\d-]+\.pgn$/);
  assert.match(fs.readFileSync(await download.path(), 'utf8'), new RegExp(`1\\. e4 ${moves[1]} \\*`));
});

test("a king in check is marked, and the page follows the system's dark theme", async () => {
  await page.fill('#fen', '4k3/8/8/8/8/8/4q3/4K3 w - - 0 1');
  await startGame(page);
  await until(page, () => /Check\. Your move/.test(document.querySelector('#status').textContent));
  assert.equal(await page.locator('#board .marker-check').count(), 1);
  await page.emulateMedia({ colorScheme: 'dark' });
  await page.waitForTimeout(ANIMATION_MS);
  const background = await page.evaluate(() => getComputedStyle(document.documentElement).backgroundColor);
  const [red, green, blue] = background.match(/\d+/g).map(Number);
  assert.ok(red + green + blue < 3 * 64, `a dark background: ${background}`);
  await page.screenshot({ path: path.join(pageFolder, 'screenshot-dark.png') });
  await page.emulateMedia({ colorScheme: 'light' });
});

test('on a phone the board stays in view, and the panels come in the order of use', async () => {
  const phone = await openPage({ width: 390, height: 844 });
  await clickSquares('e2', 'e4', phone);
  await phone.waitForFunction(() => document.querySelectorAll('#moves button.move').length >= 2, null, {
    timeout: ANSWER_MS,
  });
  const layout = await phone.evaluate(() => {
    const top = (selector) => document.querySelector(selector).getBoundingClientRect().top;
    const table = document.querySelector('.table-scroll');
    return {
      scrollY,
      board: top('#board'),
      order: [top('#thinking'), top('#moves-panel'), top('.report')],
      tableFits: table.scrollWidth <= table.clientWidth,
    };
  });
  assert.equal(layout.scrollY, 0, 'the page did not scroll');
  assert.ok(layout.board >= 0, 'the board is in view');
  assert.deepEqual([...layout.order].sort((a, b) => a - b), layout.order, 'engine, moves, evaluation');
  assert.ok(layout.tableFits, 'the evaluation table fits');
  await phone.screenshot({ path: path.join(pageFolder, 'screenshot-phone.png'), fullPage: true });
  await phone.close();
});

test('at 1280x800 the buttons are in view and the engine panel keeps its height', async () => {
  const desktop = await openPage({ width: 1280, height: 800 });
  const bottom = await desktop.evaluate(() => document.querySelector('#takeback').getBoundingClientRect().bottom);
  assert.ok(bottom <= 800, `the buttons end at ${bottom} px`);
  const heights = await desktop.evaluate(() =>
    ['e4', 'e4 e5 Nf3 Nc6 Bb5 a6 Ba4 Nf6 O-O Be7 Re1 b5 Bb3 d6 c3 O-O h3 Nb8 d4 Nbd7 c4 c6 cxb5'].map((line) => {
      document.querySelector('#info-pv').textContent = line;
      return document.querySelector('#thinking').getBoundingClientRect().height;
    }),
  );
  assert.equal(heights[0], heights[1], 'a long line does not make the panel taller');
  await desktop.screenshot({ path: path.join(pageFolder, 'screenshot-desktop.png') });
  await desktop.close();
});

test('a flag against a lone king is a draw, and take back gives the time back', async () => {
  const clocked = await openPage({ width: 1100, height: 900 }, (opened) => opened.clock.install());
  await clocked.selectOption('#control', 'clock');
  await clocked.fill('#clock-minutes', '1');
  await clocked.fill('#fen', 'k7/8/8/8/8/8/8/KQ6 w - - 0 1');
  await startGame(clocked);
  await clickSquares('b1', 'b5', clocked);
  await clocked.waitForFunction(() => document.querySelectorAll('#moves button.move').length >= 2, null, {
    timeout: ANSWER_MS,
  });
  await clocked.clock.fastForward(61000);
  await clocked.waitForFunction(() => document.querySelector('#result').textContent !== '');
  assert.match(await clocked.locator('#result').textContent(), /White's time ran out, but Black cannot mate: a draw/);
  await clocked.click('#takeback');
  await clocked.clock.fastForward(1000);
  assert.equal(await clocked.locator('#result').textContent(), '', 'the game goes on');
  assert.match(await clocked.locator('#clock-w').textContent(), /^0:5\d$/);
  await clocked.close();
});

test('opened as a file, the page says it needs a web server', async () => {
  const file = await browser.newPage();
  await file.goto(`file://${path.join(pageFolder, 'index.html')}`);
  await file.waitForSelector('#error:not([hidden])');
  assert.match(await file.locator('#error').textContent(), /Opened as a file.*web server/);
  await file.close();
});

test('without cross-origin isolation nor a service worker the page says so in one sentence and shows the board', async () => {
  const plain = await browser.newPage();
  // A browser that allows no service worker here.
  await plain.addInitScript(() => Object.defineProperty(Navigator.prototype, 'serviceWorker', { get: () => undefined }));
  await plain.goto(address(plainServer));
  await plain.waitForSelector('#error:not([hidden])');
  const sentence = await plain.locator('#error').textContent();
  assert.match(sentence, /cross-origin isolation.*no service worker/);
  assert.ok((await plain.locator('#board [data-piece]').count()) === 32, 'the board shows the start position');
  await startGame(plain);
  assert.match(await plain.locator('#status').textContent(), /not available/);
  await plain.close();
});

// After the test above: once registered, the service worker serves its origin.
test('served without the headers, the page isolates itself by a service worker and reaches the engine', async () => {
  const plain = await browser.newPage();
  const started = Date.now();
  await plain.goto(address(plainServer));
  await plain.waitForSelector('body[data-engine="ready"]', { timeout: ENGINE_START_MS });
  console.log(`uciok ${Date.now() - started} ms after the plain page was asked for, its reload included`);
  assert.equal(await plain.evaluate(() => self.crossOriginIsolated), true);
  assert.equal(await plain.locator('#error').isHidden(), true);
  await plain.close();
});
