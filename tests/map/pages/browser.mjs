// Opens the built map pages in Debian's chromium. The network is closed on
// the test machines, so tile requests fail: that is the offline case.
import { createRequire } from 'node:module';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const require = createRequire(path.join(process.env.KOLVEX_MAP_WEB_MODULES ?? '.', 'package.json'));
const { chromium } = require('playwright-core');

export const mapWebDir = process.env.KOLVEX_MAP_WEB_DIR;
if (!mapWebDir) throw new Error('KOLVEX_MAP_WEB_DIR must name the built map-web folder');

export async function launchBrowser() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run',
    ],
  });
}

// Opens ymap.html or bmap.html from disk; collects uncaught page errors.
export async function openMap(browser, pageName, query = '') {
  const page = await browser.newPage({ viewport: { width: 640, height: 400 } });
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  const url = pathToFileURL(path.join(mapWebDir, pageName)).href + query;
  await page.goto(url, { waitUntil: 'load' });
  return { page, errors };
}

export async function mapState(page) {
  return JSON.parse(await page.evaluate(() => kolvexMapState()));
}

// Runs statements exactly as the player sends them, one script each.
export async function send(page, ...statements) {
  for (const statement of statements) await page.evaluate(statement);
}

export function contains(bounds, [lat, lon]) {
  const [[south, west], [north, east]] = bounds;
  return lat >= south && lat <= north && lon >= west && lon <= east;
}
