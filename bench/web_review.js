// The review of a 40-move game (bench/review_game.pgn, 81 positions) on the
// page's analysis board in headless Chromium, at the page's default setting
// or the one given (a go line of the page's list), from the click on
// "Review the game" to its verdict:
//   node bench/web_review.js ['go movetime 500']   (after make web)
// MARROWBY_WEB (default build/web) is the built page, CHROMIUM the browser.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const { launchChromium } = require('../web/headless-chromium.js');
const { serve } = require('../web/serve.js');

const pageFolder = path.resolve(process.env.MARROWBY_WEB || path.join(__dirname, '../build/web'));
const GAME = path.join(__dirname, 'review_game.pgn');
const ENGINE_START_MS = 30000;
const REVIEW_MS = 600000;

async function main() {
  const server = await serve(pageFolder, 0, true);
  const browser = await launchChromium();
  try {
    const page = await browser.newPage();
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    await page.waitForSelector('body[data-engine="ready"]', { timeout: ENGINE_START_MS });
    await page.click('#mode-analysis');
    await page.fill('#load-text', fs.readFileSync(GAME, 'utf8'));
    await page.click('#load');
    await page.waitForFunction(() => document.querySelectorAll('#moves button.move').length > 0);
    if (process.argv[2]) await page.selectOption('#review-setting', process.argv[2]);
    const setting = await page.locator('#review-setting option:checked').textContent();
    const positions = (await page.locator('#moves button.move').count()) + 1;
    const started = Date.now();
    await page.click('#review-start');
    await page.waitForSelector('#review-summary li', { timeout: REVIEW_MS });
    const seconds = (Date.now() - started) / 1000;
    console.log(`Review of ${positions} positions at "${setting}": ${seconds.toFixed(1)} s`);
    console.log((await page.locator('#review-summary').innerText()).replace(/\n/g, '; '));
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
