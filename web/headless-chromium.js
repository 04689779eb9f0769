// Debian's Chromium (CHROMIUM, default /usr/bin/chromium), headless with a
// new empty profile, as the page's tests and its bench drive it through
// playwright-core. close() ends it and removes the profile.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { chromium } = require('playwright-core');

const ARGS = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

// Resolves to the browser's context, with close() that also removes the profile.
async function launchChromium(options = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'marrowby-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ARGS,
    ...options,
  });
  const close = context.close.bind(context);
  context.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return context;
}

module.exports = { launchChromium };
