// Web page benchmark in headless Chromium: the time from navigation to the
// first contentful paint and until the first Calculate can run (the page's
// ready mark), the gzip size of what the page loads, the core's click time
// in WebAssembly, how long the explain view of 1/9967 takes from F1 to its
// first painted frame, and a selected step's repaint there: the key's
// handling with the layout it leaves, and the time to the next painted
// frame (which waits for the frame's turn, up to 16.7 ms at 60 Hz). Floors are loaded side by side in the same
// browser: a page with one label (the window's title in the window's font,
// no script) for the first paint, an empty page for "ready", and the first
// page's window alone, to tell its drawing from the rest of its loading.
//   node bench/web_bench.mjs [--runs N] [--trace] PAGE.html [PAGE.html ...]
// The page's own paint entry gives its time in 4 ms steps; with --trace the
// first contentful paint comes from Chromium's trace, to the microsecond,
// at the cost of tracing every load.
import { readFileSync, writeFileSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';
import { launch, waitUntilReady } from '../tests/web/browser.mjs';

const args = process.argv.slice(2);
let runs = 40;
let traced = false;
const pages = [];
for (let i = 0; i < args.length; i++) {
  if (args[i] === '--runs') {
    runs = Number(args[++i]);
  } else if (args[i] === '--trace') {
    traced = true;
  } else {
    pages.push(args[i]);
  }
}
if (pages.length === 0) {
  pages.push('build-web/index.html');
}

// The baseline: an empty page that marks itself ready from an inline script.
const folder = mkdtempSync(join(tmpdir(), 'zelvane-bench-'));
const empty = join(folder, 'empty.html');
writeFileSync(empty, '<!doctype html><html lang="bg"><head><meta charset="utf-8"><title></title></head>' +
  "<body><script>performance.mark('zelvane-ready')</script></body></html>");
const label = join(folder, 'label.html');
writeFileSync(label, '<!doctype html><html lang="bg"><head><meta charset="utf-8"><title></title></head><body>' +
  '<div style="font: 16px \'Times New Roman\', \'Liberation Serif\', serif">Информатика - брой знаци при делене' +
  '</div></body></html>');
// The window alone: the first page with every script taken out, its markup
// and styles only. Nothing but drawing the window stands before its first
// frame, so no order of loading the module can bring the page below it.
const windowAlone = join(folder, 'window-alone.html');
writeFileSync(windowAlone, readFileSync(pages[0], 'utf8').replace(/<script\b[\s\S]*?<\/script>/g, ''));
const paintOf = (page) => page.evaluate(() => new Promise((resolve) => {
  const seen = () => performance.getEntriesByName('first-contentful-paint')[0];
  if (seen()) {
    resolve(seen().startTime);
    return;
  }
  new PerformanceObserver(() => seen() && resolve(seen().startTime)).observe({ type: 'paint', buffered: true });
}));

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// How far the ratio of the two medians could move by chance: the ratio
// again over rounds drawn at random, with repetition, from those timed; the
// middle 95% of 1000 such draws. Runs whose intervals overlap do not tell
// the pages apart.
function ratioInterval(times, floors) {
  const ratios = [];
  for (let draw = 0; draw < 1000; draw++) {
    const rounds = times.map(() => Math.floor(Math.random() * times.length));
    ratios.push(median(rounds.map((run) => times[run])) / median(rounds.map((run) => floors[run])));
  }
  ratios.sort((a, b) => a - b);
  return `${ratios[25].toFixed(2)}–${ratios[974].toFixed(2)}`;
}

const browser = await launch();
const page = await browser.newPage();
const cdp = traced ? await page.context().newCDPSession(page) : null;
let traceEvents = [];
cdp?.on('Tracing.dataCollected', (event) => traceEvents.push(...event.value));
// The first contentful paint after the navigation to the page's file, from
// the trace that startTrace began.
async function tracedPaint(page) {
  await paintOf(page);
  const done = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
  await cdp.send('Tracing.end');
  await done;
  const start = traceEvents.find((e) => e.name === 'navigationStart' &&
    String(e.args?.data?.documentLoaderURL).startsWith('file:'));
  const paint = traceEvents.find((e) => e.name === 'firstContentfulPaint' && e.ts >= start.ts);
  return (paint.ts - start.ts) / 1000;
}
async function startTrace() {
  traceEvents = [];
  await cdp.send('Tracing.start', { categories: 'blink.user_timing,loading', transferMode: 'ReportEvents' });
}
const all = [empty, label, windowAlone, ...pages];
const readyTimes = new Map(all.map((p) => [p, []]));
const paintTimes = new Map(all.map((p) => [p, []]));
for (let run = 0; run < runs; run++) {
  for (const file of all) {  // interleaved, so that load on the machine hits every page alike
    await page.goto('about:blank');
    if (traced && file !== empty) {  // the empty page has no paint to time
      await startTrace();
    }
    await page.goto(pathToFileURL(file).href);
    if (file !== label && file !== windowAlone) {
      await waitUntilReady(page);
      readyTimes.get(file).push(await page.evaluate(() => performance.getEntriesByName('zelvane-ready')[0].startTime));
    }
    if (file !== empty) {
      paintTimes.get(file).push(traced ? await tracedPaint(page) : await paintOf(page));
    }
  }
}

const baseline = median(readyTimes.get(empty));
const paintFloor = median(paintTimes.get(label));
const windowPaint = median(paintTimes.get(windowAlone));
console.log(`${runs} runs each, medians; floors: empty page ready after ${baseline.toFixed(1)} ms, ` +
  `one-label page painted after ${paintFloor.toFixed(1)} ms; the window alone (${pages[0]} without its scripts) ` +
  `painted after ${windowPaint.toFixed(1)} ms, ${(windowPaint / paintFloor).toFixed(2)} × the one-label page ` +
  `(95% interval ${ratioInterval(paintTimes.get(windowAlone), paintTimes.get(label))})\n`);
console.log('| Page | Bytes | gzip -9 | First contentful paint | Ratio to one-label page | 95% interval | Ready after navigation | ' +
  'Ratio to empty page | Calculate 7/13 | Calculate -7/3 (abandoned) | F1 to painted explanation of 1/9967 | ' +
  'Selecting a step of 1/9967: handled and laid out / next frame painted |');
console.log('| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |');
for (const file of pages) {
  const bytes = readFileSync(file);
  await page.goto(pathToFileURL(file).href);
  await waitUntilReady(page);
  // Core clicks through the page's own exports, many times over.
  const clicks = await page.evaluate(() => {
    const set = (index, text) => {
      if (!Module._zelvane_edit) {  // a page built when texts crossed as UTF-8
        const size = Module.lengthBytesUTF8(text) + 1;
        const buffer = Module._malloc(size);
        Module.stringToUTF8(text, buffer, size);
        Module._zelvane_set_text(index, buffer);
        Module._free(buffer);
        return;
      }
      const buffer = Module._malloc(text.length * 2 + 2);
      for (let i = 0; i < text.length; i++) {
        Module.HEAPU16[(buffer >> 1) + i] = text.charCodeAt(i);
      }
      Module._zelvane_edit(index, buffer, text.length, text.length);
      Module._free(buffer);
    };
    const time = (numerator, denominator) => {
      set(5, numerator);
      set(0, denominator);
      const count = 20000;
      const start = performance.now();
      for (let i = 0; i < count; i++) {
        Module._zelvane_click(0);
      }
      return ((performance.now() - start) / count) * 1000;  // µs
    };
    return [time('7', '13'), time('-7', '3')];
  });
  // F1 to the explanation's first frame: the time from the key to the
  // first animation frame after the dialog's content is in place, median
  // of several openings (each from a closed view, on a fresh page).
  const explain = [];
  await page.goto(pathToFileURL(file).href);
  const explains = (await page.locator('#explain').count()) > 0;  // pages built before the view have none
  for (let run = 0; explains && run < Math.min(runs, 10); run++) {
    await page.goto(pathToFileURL(file).href);
    await waitUntilReady(page);
    await page.locator('#Text2_5').fill('1');
    await page.locator('#Text2_0').fill('9967');
    await page.locator('#Command1_0').click();
    await page.evaluate(() => {
      window.explainTimes = [];
      document.addEventListener('keydown', (event) => {
        if (event.key === 'F1') {
          window.explainTimes.push(performance.now());
          requestAnimationFrame(() => setTimeout(() => window.explainTimes.push(performance.now()), 0));
        }
      }, { capture: true });
    });
    await page.keyboard.press('F1');
    await page.waitForFunction(() => window.explainTimes.length === 2);
    explain.push(await page.evaluate(() => window.explainTimes[1] - window.explainTimes[0]));
  }
  // A step selected with the keys on the wheel, over and over: the next
  // step, the last (every step's shapes shown) and the first (all hidden).
  let selecting = null;
  if (explains && (await page.locator('#explanation svg.wheel').count()) > 0) {
    selecting = await page.evaluate(async () => {
      const wheel = document.querySelector('#explanation svg.wheel');
      wheel.focus();
      const handled = [];
      const painted = [];
      for (let i = 0; i < 60; i++) {
        const key = i % 10 === 4 ? 'End' : i % 10 === 9 ? 'Home' : 'ArrowRight';
        const start = performance.now();
        wheel.dispatchEvent(new KeyboardEvent('keydown', { key, bubbles: true, cancelable: true }));
        document.documentElement.getBoundingClientRect();
        handled.push(performance.now() - start);
        await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
        painted.push(performance.now() - start);
      }
      return [handled, painted];
    });
  }
  const ready = median(readyTimes.get(file));
  const paint = median(paintTimes.get(file));
  // The ratio within each round, then their median: less disturbed by the
  // machine slowing down or speeding up for a while.
  const paintWithinRounds = median(paintTimes.get(file).map((time, run) => time / paintTimes.get(label)[run]));
  console.log(`| ${file} | ${bytes.length} | ${gzipSync(bytes, { level: 9 }).length} | ${paint.toFixed(1)} ms | ` +
    `${(paint / paintFloor).toFixed(2)} (within rounds ${paintWithinRounds.toFixed(2)}) | ` +
    `${ratioInterval(paintTimes.get(file), paintTimes.get(label))} | ${ready.toFixed(1)} ms | ${(ready / baseline).toFixed(2)} | ` +
    `${clicks[0].toFixed(2)} µs | ${clicks[1].toFixed(2)} µs | ${explains ? median(explain).toFixed(1) + ' ms' : '—'} | ` +
    `${selecting ? `${median(selecting[0]).toFixed(1)} ms / ${median(selecting[1]).toFixed(1)} ms` : '—'} |`);
}
await browser.close();
