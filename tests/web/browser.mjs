// Debian's Chromium, headless, driven by playwright-core (no browser of its
// own is downloaded). Playwright gives every launch a new, empty profile
// folder (--user-data-dir).
import { chromium } from 'playwright-core';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const chromiumFlags = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

export function launch() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: chromiumFlags,
    // Show scroll bars as a pupil sees them (the task text has one).
    ignoreDefaultArgs: ['--hide-scrollbars'],
  });
}

// The built page (scripts/build-web.sh), or ZELVANE_WEB_PAGE.
export const pagePath =
  process.env.ZELVANE_WEB_PAGE || fileURLToPath(new URL('../../build-web/index.html', import.meta.url));
export const pageUrl = pathToFileURL(pagePath).href;

// Resolves once the page's script has built the window and the core runs.
export async function waitUntilReady(page) {
  await page.waitForFunction(() => performance.getEntriesByName('zelvane-ready').length > 0, null, {
    timeout: 10000,
  });
}
