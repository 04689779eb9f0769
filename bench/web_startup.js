// The page's start-up in headless Chromium: from the page's start to the
// engine's first line, and from its Worker's start to uciok, as the page's
// footer gives them, over a number of loads (each in a new tab):
//   node bench/web_startup.js [LOADS]   (after make web; default 9 loads)
// MARROWBY_WEB (default build/web) is the built page, CHROMIUM the browser.
'use strict';

const path = require('node:path');
const { launchChromium } = require('../web/headless-chromium.js');
const { serve } = require('../web/serve.js');

const pageFolder = path.resolve(process.env.MARROWBY_WEB || path.join(__dirname, '../build/web'));
const ENGINE_START_MS = 30000;
const DEFAULT_LOADS = 9;

const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];
const describe = (values) => `median ${median(values)} ms (${Math.min(...values)}–${Math.max(...values)})`;

async function main() {
  const loads = Number(process.argv[2] || DEFAULT_LOADS);
  const server = await serve(pageFolder, 0, true);
  const browser = await launchChromium();
  const firstLine = [];
  const uciok = [];
  try {
    for (let load = 0; load < loads; ++load) {
      const page = await browser.newPage();
      await page.goto(`http://127.0.0.1:${server.address().port}/`);
      await page.waitForSelector('body[data-engine="ready"]', { timeout: ENGINE_START_MS });
      const [first, ready] = (await page.locator('#engine-start').textContent()).match(/\d+/g).map(Number);
      firstLine.push(first);
      uciok.push(ready);
      await page.close();
    }
  } finally {
    await browser.close();
    server.close();
  }
  console.log(`Page start to the engine's first line, ${loads} loads: ${describe(firstLine)}`);
  console.log(`Worker start to uciok: ${describe(uciok)}`);
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
