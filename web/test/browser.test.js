// The page in headless Chromium (Debian's), driven by playwright-core:
//   node --test web/test/browser.test.js      (after make web)
// MARROWBY_WEB (default build/web) is the built page, CHROMIUM the browser.
// A screenshot of the page after a few moves goes to the page's folder.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { Chess } = require('chess.js');
const { chromium } = require('playwright-core');
const { serve } = require('../serve.js');

const pageFolder = path.resolve(process.env.MARROWBY_WEB || path.join(__dirname, '../../build/web'));
const BROWSER = process.env.CHROMIUM || '/usr/bin/chromium';
const ENGINE_START_MS = 30000;
const ANSWER_MS = 20000;
const STOP_MS = 2000;
// Longer than the board's piece animation.
const ANIMATION_MS = 500;

let isolatedServer;
let plainServer;
let browser;
let page;
let profile;

const address = (server) => `http://127.0.0.1:${server.address().port}/`;
const text = (selector) => page.locator(selector).textContent();
const moveCount = () => page.locator('#moves button.move').count();

async function waitForMoves(count) {
  await page.waitForFunction((wanted) => document.querySelectorAll('#moves button.move').length >= wanted, count, {
    timeout: ANSWER_MS,
  });
}

async function clickSquares(from, to) {
  await page.click(`#board [data-square="${from}"]`);
  await page.click(`#board rect[data-square="${to}"]`);
}

before(async () => {
  assert.ok(fs.existsSync(path.join(pageFolder, 'index.html')), `no page in ${pageFolder}: run make web`);
  isolatedServer = await serve(pageFolder, 0, true);
  plainServer = await serve(pageFolder, 0, false);
  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'marrowby-chromium-'));
  browser = await chromium.launchPersistentContext(profile, {
    executablePath: BROWSER,
    headless: true,
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
    ],
    viewport: { width: 1100, height: 900 },
  });
  page = await browser.newPage();
  page.on('pageerror', (error) => console.error(`page error: ${error.message}`));
});

after(async () => {
  await browser?.close();
  isolatedServer?.close();
  plainServer?.close();
  if (profile) fs.rmSync(profile, { recursive: true, force: true });
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
  await page.click('#new-game');
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
  await page.click('#new-game');
  await waitForMoves(1);
  assert.deepEqual(await page.locator('#moves button.move').allTextContents(), ['Rd8#']);
  assert.match(await text('#result'), /Checkmate: White wins/);
  assert.match(await page.inputValue('#pgn'), /1\. Rd8# 1-0/);
  assert.equal(await moveCount(), 1);
});

test('without cross-origin isolation the page says so in one sentence and still shows the board', async () => {
  const plain = await browser.newPage();
  await plain.goto(address(plainServer));
  await plain.waitForSelector('#error:not([hidden])');
  const sentence = await plain.locator('#error').textContent();
  assert.match(sentence, /cross-origin isolation/);
  assert.ok((await plain.locator('#board [data-piece]').count()) === 32, 'the board shows the start position');
  await plain.close();
});
