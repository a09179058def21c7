// Web page benchmark in headless Chromium: the time from navigation until
// the first Calculate can run (the page's ready mark), the gzip size of what
// the page loads, and the core's click time in WebAssembly. An empty page
// is loaded side by side in the same browser as the baseline.
//   node bench/web_bench.mjs [--runs N] PAGE.html [PAGE.html ...]
import { readFileSync, writeFileSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';
import { launch, waitUntilReady } from '../tests/web/browser.mjs';

const args = process.argv.slice(2);
let runs = 40;
const pages = [];
for (let i = 0; i < args.length; i++) {
  if (args[i] === '--runs') {
    runs = Number(args[++i]);
  } else {
    pages.push(args[i]);
  }
}
if (pages.length === 0) {
  pages.push('build-web/index.html');
}

// The baseline: an empty page that marks itself ready from an inline script.
const empty = join(mkdtempSync(join(tmpdir(), 'zelvane-bench-')), 'empty.html');
writeFileSync(empty, '<!doctype html><html lang="bg"><head><meta charset="utf-8"><title></title></head>' +
  "<body><script>performance.mark('zelvane-ready')</script></body></html>");

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

const browser = await launch();
const page = await browser.newPage();
const all = [empty, ...pages];
const readyTimes = new Map(all.map((p) => [p, []]));
for (let run = 0; run < runs; run++) {
  for (const file of all) {  // interleaved, so that load on the machine hits every page alike
    await page.goto('about:blank');
    await page.goto(pathToFileURL(file).href);
    await waitUntilReady(page);
    readyTimes.get(file).push(await page.evaluate(() => performance.getEntriesByName('zelvane-ready')[0].startTime));
  }
}

const baseline = median(readyTimes.get(empty));
console.log(`${runs} runs each, medians; baseline: empty page ready after ${baseline.toFixed(1)} ms\n`);
console.log('| Page | Bytes | gzip -9 | Ready after navigation | Ratio to empty page | Calculate 7/13 | Calculate -7/3 (abandoned) |');
console.log('| --- | --- | --- | --- | --- | --- | --- |');
for (const file of pages) {
  const bytes = readFileSync(file);
  await page.goto(pathToFileURL(file).href);
  await waitUntilReady(page);
  // Core clicks through the page's own exports, many times over.
  const clicks = await page.evaluate(() => {
    const set = (index, text) => {
      const size = Module.lengthBytesUTF8(text) + 1;
      const buffer = Module._malloc(size);
      Module.stringToUTF8(text, buffer, size);
      Module._zelvane_set_text(index, buffer);
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
  const ready = median(readyTimes.get(file));
  console.log(`| ${file} | ${bytes.length} | ${gzipSync(bytes, { level: 9 }).length} | ${ready.toFixed(1)} ms | ` +
    `${(ready / baseline).toFixed(2)} | ${clicks[0].toFixed(2)} µs | ${clicks[1].toFixed(2)} µs |`);
}
await browser.close();
