// The web page as a pupil uses it, in headless Chromium: typing, pasting,
// clicking, Enter and Tab; its layout against the window's description; and
// that it works offline, makes no request after load and stores nothing.
// Run by scripts/test.sh after scripts/build-web.sh.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { createServer } from 'node:http';
import { readFileSync, mkdirSync } from 'node:fs';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';
import { launch, pagePath, pageUrl, waitUntilReady } from './browser.mjs';
import { UNCHANGED, characterCount, loadCases } from './case_table.mjs';
import { createRequire } from 'node:module';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

// Chromium's phone emulation.
const phone = { viewport: { width: 360, height: 640 }, isMobile: true, hasTouch: true, deviceScaleFactor: 3 };

// Core field and button indices.
const DENOMINATOR = 0, EXPANSION = 1, LEFT = 2, RIGHT = 3, SUM = 4, NUMERATOR = 5;
const CALCULATE = 0, ADD_PARTS = 1, CLEAR = 2;
const RESULTS = [EXPANSION, LEFT, RIGHT, SUM];

let browser;
let context;
let page;

before(async () => {
  browser = await launch();
  context = await browser.newContext({ viewport: { width: 800, height: 600 } });
  await context.grantPermissions(['clipboard-read', 'clipboard-write']);
  page = await context.newPage();
});

after(async () => {
  await browser?.close();
});

// A freshly loaded page, as after start.
async function fresh() {
  await page.goto(pageUrl);
  await waitUntilReady(page);
}

const field = (index) => page.locator(`#Text2_${index}`);
const button = (index) => page.locator(`#Command1_${index}`);

// After every step, each field shows exactly the text the core holds.
async function checkFieldsShowTheCore() {
  const [shown, core] = await page.evaluate(() => {
    const held = [];
    for (let i = 0; i < 6; i++) {
      Module._zelvane_text(i);
      const first = Module._zelvane_returned() >> 1;
      held.push(String.fromCharCode(...Module.HEAPU16.subarray(first, first + Module._zelvane_returned_length())));
    }
    return [[0, 1, 2, 3, 4, 5].map((i) => document.getElementById(`Text2_${i}`).value), held];
  });
  assert.deepEqual(shown, core, 'the fields show what the core holds');
}

// Replaces a field's text by typing, as the pupil does.
async function type(index, text) {
  await field(index).click();
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Delete');
  if (text !== '') {
    await page.keyboard.type(text);
  }
  await checkFieldsShowTheCore();
}

async function click(index) {
  await button(index).click({ force: true });  // a disabled button must stay dead
  await checkFieldsShowTheCore();
}

// Pastes at the caret: through the real clipboard where it can carry the
// text; a NUL or an unpaired surrogate as a paste event made by script.
async function paste(index, text) {
  await field(index).focus();
  if (/\0|[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/.test(text)) {
    await field(index).evaluate((element, data) => {
      const transfer = new DataTransfer();
      transfer.setData('text/plain', data);
      element.dispatchEvent(new ClipboardEvent('paste', { clipboardData: transfer, bubbles: true, cancelable: true }));
    }, text);
  } else {
    await page.evaluate((data) => navigator.clipboard.writeText(data), text);
    await page.keyboard.press('Control+V');
  }
  await checkFieldsShowTheCore();
}

async function texts(indices) {
  return page.evaluate((ids) => ids.map((i) => document.getElementById(`Text2_${i}`).value), indices);
}

async function allTexts() {
  return texts([0, 1, 2, 3, 4, 5]);
}

// The text the core's form state holds for Text2(index).
async function coreText(index) {
  return page.evaluate((i) => {
    Module._zelvane_text(i);
    const first = Module._zelvane_returned() >> 1;
    return String.fromCharCode(...Module.HEAPU16.subarray(first, first + Module._zelvane_returned_length()));
  }, index);
}

async function addPartsAvailable() {
  return !(await button(ADD_PARTS).isDisabled());
}

async function description() {
  return page.evaluate(() => JSON.parse(Module.UTF8ToString(Module._zelvane_description())));
}

async function calculate(numerator, denominator) {
  await type(NUMERATOR, numerator);
  await type(DENOMINATOR, denominator);
  await click(CALCULATE);
}

describe('calculate.tsv', () => {
  for (const row of loadCases('calculate.tsv')) {
    if (characterCount(row.numerator) > 4 || characterCount(row.denominator) > 4) {
      continue;  // cannot be typed into the page
    }
    test(row.case, async () => {
      await fresh();
      await calculate(row.numerator, row.denominator);
      if (row.expansion !== UNCHANGED) {
        assert.deepEqual(await texts(RESULTS), [row.expansion, row.left, row.right, row.sum]);
        assert.equal(await addPartsAvailable(), true);
        return;
      }
      // Refused or abandoned: nothing changes, on a cleared form ...
      assert.deepEqual(await texts(RESULTS), ['', '', '', '']);
      assert.equal(await addPartsAvailable(), false);
      // ... and after 7 / 13.
      await calculate('7', '13');
      const before = await texts(RESULTS);
      await calculate(row.numerator, row.denominator);
      assert.deepEqual(await texts(RESULTS), before);
      assert.deepEqual(await texts([NUMERATOR, DENOMINATOR]), [row.numerator, row.denominator]);
      assert.equal(await addPartsAvailable(), true);
    });
  }
});

describe('add_parts.tsv', () => {
  for (const row of loadCases('add_parts.tsv')) {
    test(row.case, async () => {
      await fresh();
      await calculate('7', '13');
      await type(LEFT, row.left);
      await type(RIGHT, row.right);
      const before = await allTexts();
      await click(ADD_PARTS);
      if (row.sum === UNCHANGED) {
        assert.deepEqual(await allTexts(), before);
      } else {
        assert.equal(await field(SUM).inputValue(), row.sum);
      }
      assert.deepEqual(await texts([LEFT, RIGHT]), [row.left, row.right]);
    });
  }
});

describe('paste.tsv', () => {
  const fields = { numerator: [NUMERATOR, DENOMINATOR], denominator: [DENOMINATOR, NUMERATOR],
    left: [LEFT, RIGHT], right: [RIGHT, LEFT] };
  for (const row of loadCases('paste.tsv')) {
    test(row.case, async () => {
      const [index, partner] = fields[row.field];
      const groups = index === LEFT || index === RIGHT;
      await fresh();
      if (groups) {
        await calculate('7', '13');
      }
      await type(index, row.before);
      if (row.how === 'paste') {
        await paste(index, row.input);
      } else {
        await page.keyboard.type(row.input);
        await checkFieldsShowTheCore();
      }
      assert.equal(await field(index).inputValue(), row.shown);
      await type(partner, row.other);
      await click(groups ? ADD_PARTS : CALCULATE);
      const unchanged = groups ? '999' : '';
      assert.equal(await field(groups ? SUM : EXPANSION).inputValue(), row.result === UNCHANGED ? unchanged : row.result);
    });
  }
});

describe('fields', () => {
  for (const [name, index] of [['numerator', NUMERATOR], ['denominator', DENOMINATOR]]) {
    test(`${name} takes at most four characters, typed or pasted`, async () => {
      await fresh();
      await type(index, '12345');
      assert.equal(await field(index).inputValue(), '1234');
      assert.equal(await coreText(index), '1234');
      await type(index, 'абвгд');
      assert.equal(await field(index).inputValue(), 'абвг');
      await field(index).click();
      await page.keyboard.press('Control+A');
      await paste(index, '98765');
      assert.equal(await field(index).inputValue(), '9876');
      assert.equal(await coreText(index), '9876');
    });
  }

  for (const [name, index] of [['expansion', EXPANSION], ['sum', SUM]]) {
    test(`${name} is read-only`, async () => {
      await fresh();
      await calculate('7', '13');
      const before = await field(index).inputValue();
      await field(index).click();
      await page.keyboard.type('42');
      await page.keyboard.press('Backspace');
      await page.keyboard.press('Delete');
      assert.equal(await field(index).inputValue(), before);
      assert.equal(await field(index).evaluate((e) => e.readOnly), true);
    });
  }

  test('a long expansion shows its start', async () => {
    await fresh();
    await calculate('5', '3.5');
    assert.equal(await field(EXPANSION).inputValue(), '0.027132336476386110137176222282357451566');
    assert.equal(await field(EXPANSION).evaluate((e) => e.scrollLeft), 0);
  });

  test('every field is named by its label; the task text by its name', async () => {
    await fresh();
    const d = await description();
    for (const [index, f] of d.Text2.entries()) {
      const caption = d.Label1[f.label].caption;
      assert.equal(await page.getByLabel(caption, { exact: true }).getAttribute('id'), `Text2_${index}`, caption);
      assert.equal(await page.getByRole('textbox', { name: caption, exact: true }).count(), 1, caption);
    }
    const task = page.getByRole('textbox', { name: d.taskTextName, exact: true });
    assert.equal(await task.getAttribute('id'), `Text1_${d.taskText}`);
    for (const [index, b] of d.Command1.entries()) {
      assert.equal(await page.getByRole('button', { name: b.caption, exact: true }).getAttribute('id'),
        `Command1_${index}`);
    }
    assert.equal(await page.evaluate(() => document.documentElement.lang), 'bg');
  });

  test('help text: the task text, read-only; the quotation goes with it, without a box', async () => {
    await fresh();
    const d = await description();
    const task = page.locator(`#Text1_${d.taskText}`);
    assert.equal(await task.inputValue(), d.Text1[d.taskText].text.replaceAll('\r\n', '\n'));
    assert.equal(await task.evaluate((e) => e.readOnly), true);
    assert.equal(await task.evaluate((e) => getComputedStyle(e).overflowY), 'scroll');
    const quotation = d.Text1[d.quotation].text.replaceAll('\r\n', '\n').trim();
    assert.equal(await task.getAttribute('title'), quotation);
    assert.equal(await task.getAttribute('aria-description'), quotation);
    assert.equal(await page.locator(`#Text1_${d.quotation}`).count(), 0);
    assert.equal(await page.title(), d.caption);
  });
});

describe('buttons and keys', () => {
  test('Add parts: unavailable at start and after Clear, available after a calculation', async () => {
    await fresh();
    assert.equal(await addPartsAvailable(), false);
    await type(LEFT, '538');
    await type(RIGHT, '461');
    await click(ADD_PARTS);
    await page.keyboard.press('Enter');  // in the right group
    assert.equal(await field(SUM).inputValue(), '');
    await calculate('7', '2');  // below 3: nothing happens
    assert.equal(await addPartsAvailable(), false);
    assert.equal(await field(EXPANSION).inputValue(), '');
    await calculate('1', '3');
    assert.equal(await addPartsAvailable(), true);
    await click(CLEAR);
    assert.equal(await addPartsAvailable(), false);
    assert.deepEqual(await allTexts(), ['', '', '', '', '', '']);
    assert.equal(await button(CALCULATE).isEnabled(), true);
    assert.equal(await button(CLEAR).isEnabled(), true);
  });

  for (const [name, index] of [['numerator', NUMERATOR], ['denominator', DENOMINATOR]]) {
    test(`Enter in the ${name} clicks Calculate`, async () => {
      await fresh();
      await type(NUMERATOR, '7');
      await type(DENOMINATOR, '13');
      await field(index).press('Enter');
      assert.deepEqual(await texts(RESULTS), ['0.05384615384615384', '538', '461', '999']);
    });
  }

  for (const [name, index] of [['left group', LEFT], ['right group', RIGHT]]) {
    test(`Enter in the ${name} clicks Add parts when available`, async () => {
      await fresh();
      await calculate('7', '13');
      await type(LEFT, '100');
      await type(RIGHT, '900');
      await field(index).press('Enter');
      assert.equal(await field(SUM).inputValue(), '1000');
      await click(CLEAR);
      await type(LEFT, '100');
      await type(RIGHT, '900');
      await field(index).press('Enter');
      assert.equal(await field(SUM).inputValue(), '');
    });
  }

  for (const [name, index, after] of [
    ['Calculate', CALCULATE, ['0.05384615384615384', '999']],
    ['Add parts', ADD_PARTS, ['0.05384615384615384', '1000']],
    ['Clear', CLEAR, ['', '']],
  ]) {
    test(`Enter on the focused ${name} button clicks it`, async () => {
      await fresh();
      await type(NUMERATOR, '7');
      await type(DENOMINATOR, '13');
      if (index === ADD_PARTS) {
        await click(CALCULATE);
        await type(LEFT, '100');
        await type(RIGHT, '900');
      }
      await button(index).focus();
      await page.keyboard.press('Enter');
      await checkFieldsShowTheCore();
      assert.deepEqual(await texts([EXPANSION, SUM]), after);
    });
  }

  test('Enter in a result field does nothing', async () => {
    await fresh();
    await calculate('7', '13');
    await type(LEFT, '1');
    const before = await allTexts();
    await field(EXPANSION).press('Enter');
    await field(SUM).press('Enter');
    assert.deepEqual(await allTexts(), before);
  });

  test('focus starts on the task text; Tab follows the tab order', async () => {
    await fresh();
    const d = await description();
    const active = () => page.evaluate(() => document.activeElement.id);
    assert.equal(await active(), d.focusOrder[0]);
    const walk = async (expected) => {
      await page.locator(`#${d.focusOrder[0]}`).focus();
      for (const id of expected) {
        await page.keyboard.press('Tab');
        assert.equal(await active(), id);
      }
    };
    const addParts = `Command1_${ADD_PARTS}`;
    await walk(d.focusOrder.slice(1).filter((id) => id !== addParts));  // skipped while unavailable
    await calculate('', '13');
    await walk(d.focusOrder.slice(1));
  });
});

describe('layout', () => {
  const controls = (d) => [
    ...d.Label1.map((c, i) => [`Label1_${i}`, c]),
    ...d.Text2.map((c, i) => [`Text2_${i}`, c]),
    ...d.Command1.map((c, i) => [`Command1_${i}`, c]),
    [`Text1_${d.taskText}`, d.Text1[d.taskText]],
  ];

  // Places relative to the window, in CSS pixels.
  async function places() {
    return page.evaluate(() => {
      const form = document.getElementById('Zelvane').getBoundingClientRect();
      const out = { Zelvane: [form.left, form.top, form.width, form.height] };
      for (const e of document.querySelectorAll('#Zelvane > [id]')) {
        const r = e.getBoundingClientRect();
        out[e.id] = [r.left - form.left, r.top - form.top, r.width, r.height];
      }
      return out;
    });
  }

  test('every control at its place: twips / 15 CSS pixels', async () => {
    await fresh();
    const d = await description();
    const shown = await places();
    assert.deepEqual(shown.Zelvane.slice(2), [d.width / 15, d.height / 15]);
    assert.deepEqual(shown.Zelvane.slice(2), [481, 344]);
    for (const [id, control] of controls(d)) {
      assert.deepEqual(shown[id], control.twips.map((t) => t / 15), id);
    }
  });

  test('colours and font', async () => {
    await fresh();
    const d = await description();
    const rgb = (c) => `rgb(${c[0]}, ${c[1]}, ${c[2]})`;
    const style = (id, property) => page.locator(`#${id}`).evaluate((e, p) => getComputedStyle(e)[p], property);
    assert.equal(await style('Zelvane', 'backgroundColor'), rgb(d.background));
    for (const [index] of d.Label1.entries()) {
      assert.equal(await style(`Label1_${index}`, 'backgroundColor'), rgb(d.labelBackground), `Label1_${index}`);
      assert.equal(await style(`Label1_${index}`, 'textAlign'), 'center');
      // innerText is the text as rendered: blanks collapsed by CSS would show.
      assert.equal(await page.locator(`#Label1_${index}`).innerText(), d.Label1[index].caption);
    }
    await calculate('7', '13');
    for (const [index, b] of d.Command1.entries()) {
      assert.equal(await style(`Command1_${index}`, 'backgroundColor'), rgb(b.colour), `Command1_${index}`);
      assert.equal(await style(`Command1_${index}`, 'color'), rgb(d.buttonText));
      assert.equal(await page.locator(`#Command1_${index}`).innerText(), b.caption);
    }
    await click(CLEAR);
    assert.equal(await style(`Command1_${ADD_PARTS}`, 'backgroundColor'), rgb(d.unavailableButton));
    assert.equal(await style(`Command1_${ADD_PARTS}`, 'color'), rgb(d.unavailableButtonText));
    for (const id of ['Zelvane', 'Text2_1', 'Command1_0', 'Label1_0', 'Text1_0']) {
      assert.equal(await style(id, 'fontFamily'), `"${d.fontFamily}", "Liberation Serif", serif`, id);
      assert.equal(await style(id, 'fontSize'), `${(d.fontPoints * 96) / 72}px`, id);
      assert.equal(await style(id, 'fontWeight'), String(d.fontWeight), id);
    }
  });

  test('on a narrow screen the whole window is scaled down, not reflowed', async () => {
    const narrow = await browser.newPage({ viewport: { width: 320, height: 640 } });
    try {
      await narrow.goto(pageUrl);
      await waitUntilReady(narrow);
      const scale = 320 / 481;
      const shown = await narrow.evaluate(() => {
        const form = document.getElementById('Zelvane').getBoundingClientRect();
        const out = { scrollWidth: document.documentElement.scrollWidth, form: [form.width, form.height] };
        for (const e of document.querySelectorAll('#Zelvane > [id]')) {
          const r = e.getBoundingClientRect();
          out[e.id] = [r.left - form.left, r.top - form.top, r.width, r.height];
        }
        return out;
      });
      assert.ok(shown.scrollWidth <= 320, `scroll width ${shown.scrollWidth}`);
      const near = (a, b) => Math.abs(a - b) < 0.01;
      assert.ok(near(shown.form[0], 481 * scale) && near(shown.form[1], 344 * scale), `${shown.form}`);
      await page.goto(pageUrl);
      await waitUntilReady(page);
      const d = await description();
      for (const [id, control] of controls(d)) {
        control.twips.forEach((t, k) => assert.ok(near(shown[id][k], (t / 15) * scale), `${id} ${shown[id]}`));
      }
    } finally {
      await narrow.close();
    }
  });

  test('screenshot for the README', async () => {
    await fresh();
    await calculate('7', '13');
    await page.locator(`#Text1_0`).focus();
    const file = fileURLToPath(new URL('../../docs/window-web.png', import.meta.url));
    mkdirSync(fileURLToPath(new URL('../../docs/', import.meta.url)), { recursive: true });
    await page.locator('#Zelvane').screenshot({ path: file });
    assert.ok(readFileSync(file).length > 1000);
  });
});

describe('explanation', () => {
  const dialog = () => page.locator('#explanation');
  const coreExplanation = () => page.evaluate(() => Module.UTF8ToString(Module._zelvane_explanation_text()));
  const copied = () => page.evaluate(() => navigator.clipboard.readText());

  test('F1 shows the explanation of each fraction of explain.tsv; a new Calculate updates it; F1 again keeps its place', async () => {
    // Wide enough for the view to stand beside the window.
    await page.setViewportSize({ width: 1280, height: 800 });
    try {
      await explainEveryRow();
    } finally {
      await page.setViewportSize({ width: 800, height: 600 });
    }
  });

  async function explainEveryRow() {
    await fresh();
    let opened = false;
    for (const row of loadCases('explain.tsv')) {
      if (row.click !== 'calculates' || characterCount(row.numerator) > 4 || characterCount(row.denominator) > 4) {
        continue;
      }
      await type(NUMERATOR, row.numerator);
      await type(DENOMINATOR, row.denominator);
      await click(CALCULATE);
      const before = await allTexts();
      if (!opened) {
        await page.keyboard.press('F1');
        opened = true;
      }
      assert.equal(await dialog().isVisible(), true, row.case);
      const shown = await dialog().innerText();
      assert.ok(shown.includes(row.notation), `${row.case}: ${row.notation}`);
      assert.equal(await page.locator('#explanation-title').innerText(), (await coreExplanation()).split('\n')[0]);
      // Ctrl+C with nothing selected copies the core's plain text.
      await page.locator('#explanation .text').focus();
      await page.keyboard.press('Control+C');
      assert.equal(await copied(), await coreExplanation(), row.case);
      assert.deepEqual(await allTexts(), before, `${row.case}: the worksheet changed`);
    }
    // F1 again brings the open view forward where the pupil left it.
    const selected = () => page.evaluate(() => getSelection().toString());
    await page.evaluate(() => getSelection().selectAllChildren(document.querySelector('#explanation .text p')));
    const place = await selected();
    assert.ok(place);
    await page.keyboard.press('F1');
    assert.equal(await selected(), place);
    await page.keyboard.press('Escape');
    assert.equal(await dialog().isVisible(), false);
  }

  test('before any calculation it asks for one; the button below the window opens it; its names', async () => {
    await fresh();
    const d = await description();
    const opener = page.getByRole('button', { name: d.explainCommand, exact: true });
    assert.equal(await field(EXPANSION).getAttribute('title'), d.expansionTip);
    await opener.click();
    const core = await coreExplanation();
    assert.equal(await page.getByRole('dialog', { name: core.split('\n')[0] }).count(), 1);
    assert.equal(await page.getByRole('document', { name: d.explanationName }).count(), 1);
    assert.ok((await dialog().innerText()).includes(core.split('\n')[2]));
    await page.getByRole('button', { name: d.closeCommand }).click();
    assert.equal(await dialog().isVisible(), false);
    // The window's own layout is untouched by the button below it.
    const form = await page.locator('#Zelvane').boundingBox();
    const below = await opener.boundingBox();
    assert.ok(below.y >= form.y + form.height, `${below.y}`);
  });

  test('on a narrow screen the dialog fits the screen', async () => {
    const narrow = await browser.newPage({ viewport: { width: 320, height: 640 } });
    try {
      await narrow.goto(pageUrl);
      await waitUntilReady(narrow);
      await narrow.keyboard.press('F1');
      const box = await narrow.locator('#explanation').boundingBox();
      assert.ok(box.x >= 0 && box.x + box.width <= 320, `${JSON.stringify(box)}`);
    } finally {
      await narrow.close();
    }
  });

  // --- The lead, the wheel and the steps --------------------------------

  const explanationJson = () => page.evaluate(() => JSON.parse(Module.UTF8ToString(Module._zelvane_explanation_json())));
  const selectedRows = () => page.evaluate(() =>
    [...document.querySelectorAll('#explanation .step-list [aria-selected="true"]')].map((row) => row.id));
  const shownWheel = () => page.locator('#explanation svg.wheel:visible');

  // The first remainder's place, in figure units: its dot, or, on a ring
  // too long for dots, the ring's top, where the ring's first place is.
  function firstPlace(figure) {
    const dots = figure.shapes.filter((s) => s.kind === 'circle' && s.step !== undefined && s.fill === 'remainder');
    if (dots.length > 0) {
      return dots.reduce((a, b) => (b.step < a.step ? b : a)).at;
    }
    const ring = figure.shapes.filter((s) => s.kind === 'circle' && s.stroke === 'ring' && !s.fill)
      .reduce((a, b) => (b.radius > a.radius ? b : a));
    return [ring.at[0], ring.at[1] - ring.radius];
  }

  // A point of the shown wheel, in figure units, on the page.
  const onPage = (point) => shownWheel().evaluate((svg, [x, y]) => {
    const p = new DOMPoint(x, y).matrixTransform(svg.getScreenCTM());
    return { x: p.x, y: p.y };
  }, point);

  // The colour of one pixel of the page, from a screenshot of it alone.
  async function pixel({ x, y }) {
    const png = await page.screenshot({ clip: { x: Math.floor(x), y: Math.floor(y), width: 1, height: 1 } });
    const data = [];
    for (let at = 8; at < png.length;) {
      const length = png.readUInt32BE(at);
      if (png.toString('latin1', at + 4, at + 8) === 'IDAT') {
        data.push(png.subarray(at + 8, at + 8 + length));
      }
      at += 12 + length;
    }
    const row = zlib.inflateSync(Buffer.concat(data));  // one pixel: every filter leaves it as it is
    return `#${[...row.subarray(1, 4)].map((c) => c.toString(16).padStart(2, '0')).join('')}`;
  }

  // What the view shows of the selected step, against the core: the row,
  // the shapes of later steps hidden, the selection drawn over the wheel,
  // the notation's digit and the notebook's lines.
  async function checkSelected(doc, figure, step, name) {
    assert.deepEqual(await selectedRows(), [`explanation-step-${step}`], name);
    const core = await page.evaluate(([f, s]) => JSON.parse(Module.UTF8ToString(Module._zelvane_figure_selection(f, s))),
      [figure, step]);
    assert.ok(core.length > 0, name);
    const drawn = await shownWheel().evaluate((svg, s) => ({
      layer: svg.querySelector('.selection').childElementCount,
      wrong: [...svg.querySelectorAll('[data-step]')].filter((shape) =>
        (getComputedStyle(shape).display === 'none') !== (Number(shape.dataset.step) > s)).length,
    }), step);
    assert.deepEqual(drawn, { layer: core.length, wrong: 0 }, name);
    const notation = doc.blocks.find((b, i) => i < doc.lead && b.stepDigits);
    const run = notation.stepDigits.find(([first, , count]) => first <= step && step < first + count);
    const digit = run ? run[1] + step - run[0] : -1;
    assert.deepEqual(await page.evaluate(() => {
      const mark = document.querySelector('#explanation .lead p.notation mark.digit');
      if (!mark) {
        return [-1, ''];
      }
      const before = document.createRange();
      before.setStart(mark.parentNode.closest('p'), 0);
      before.setEndBefore(mark);
      return [before.toString().length, mark.textContent];
    }), [digit, digit < 0 ? '' : notation.text[digit]], `${name}: the notation's digit`);
    const book = doc.blocks.find((b) => b.kind === 'notebook');
    const lines = await page.evaluate(() =>
      [...document.querySelectorAll('#explanation pre.notebook .line')].map((line) => line.classList.contains('selected')));
    assert.deepEqual(lines, book.lineSteps.map((s) => s === step), `${name}: the notebook's lines`);
  }

  const wheelCases = ['1/7 halves and thirds', '5/14 a tail of one', '1/97', '1/9967 a ring of 9966 places',
    '1/8 finite: a tail to 0'];
  for (const row of loadCases('wheel.tsv').filter((r) => wheelCases.includes(r.case))) {
    test(`the wheel and the steps of ${row.case} (wheel.tsv): drawn, linked both ways, walked with the keys`, async () => {
      await fresh();
      await calculate(row.numerator, row.denominator);
      const before = await allTexts();
      await page.keyboard.press('F1');
      const doc = await explanationJson();
      const figures = doc.blocks.filter((b) => b.kind === 'figure').map((b) => b.figure);
      const figure = doc.figures[figures[0]];
      // Drawn as the core says: an image, named and described by its text
      // alternative, that takes the focus in the page's order, with the first
      // remainder's text centred on its anchor, and ink where it stands.
      const d = await description();
      assert.equal(await page.getByRole('img', { name: d.figureName, exact: true }).count(), 1);
      assert.equal(await shownWheel().locator('desc').textContent(), figure.alt);
      assert.equal(await page.getByRole('listbox', { name: d.stepListName, exact: true }).count(), 1);
      assert.equal(await shownWheel().getAttribute('tabindex'), '0');
      const first = (row.tail || row.ring).split(' ')[0];
      const label = figure.shapes.find((s) => s.kind === 'text' && s.step === 0 && s.stroke === 'remainder');
      assert.equal(label.text, first);
      const box = await shownWheel().evaluate((svg, text) => {
        const shape = [...svg.querySelectorAll('text[data-step="0"]')].find((t) => t.textContent === text);
        const b = shape.getBBox();
        return [b.x + b.width / 2, b.y + b.height / 2];
      }, first);
      assert.ok(Math.abs(box[0] - label.at[0]) < 1 && Math.abs(box[1] - label.at[1]) < 2,
        `${box} against ${label.at}`);
      const place = await onPage(firstPlace(figure));
      assert.notEqual(await pixel(place), doc.inks.paper, `at ${JSON.stringify(place)}`);

      // A row clicked (the last but one, made as the list scrolls to it).
      const step = Math.max(0, doc.stepCount - 2);
      await page.locator('#explanation .step-list').evaluate((list) => { list.scrollTop = list.scrollHeight; });
      await page.locator(`#explanation-step-${step}`).click();
      await checkSelected(doc, figures[0], step, 'the row clicked');
      // The first remainder's place clicked on the wheel: its row, brought
      // into sight. On a ring of thousands of places a pixel holds dozens:
      // the step is the one the core finds where the click fell.
      await shownWheel().evaluate((svg, f) => {
        svg.addEventListener('click', (event) => {
          const at = new DOMPoint(event.clientX, event.clientY).matrixTransform(svg.getScreenCTM().inverse());
          window.clickedStep = Module._zelvane_figure_step_at(f, at.x, at.y);
        }, { once: true, capture: true });
      }, figures[0]);
      await page.mouse.click(place.x, place.y);
      const hit = await page.evaluate(() => window.clickedStep);
      const dense = !figure.shapes.some((s) => s.kind === 'circle' && s.step !== undefined);
      assert.ok(dense ? Math.min(hit, doc.stepCount - hit) < 50 : hit === 0, `step ${hit}`);
      await checkSelected(doc, figures[0], hit, 'the place clicked');
      const inSight = await page.locator(`#explanation-step-${hit}`).evaluate((r) => {
        const list = r.closest('.step-list');
        const top = list.getBoundingClientRect().top + list.clientTop;
        const box = r.getBoundingClientRect();
        return [box.top >= top - 0.5 && box.bottom <= top + list.clientHeight + 0.5, top, box.top, box.bottom];
      });
      assert.ok(inSight[0], `${inSight}`);
      // The keys walk, on the wheel and on the list.
      const last = doc.stepCount - 1;
      for (const [key, expected] of [['Home', 0], ['ArrowRight', 1], ['ArrowDown', 2], ['ArrowLeft', 1], ['End', last],
        ['ArrowRight', last], ['Home', 0], ['ArrowUp', 0]]) {
        await page.keyboard.press(key);
        assert.deepEqual(await selectedRows(), [`explanation-step-${Math.min(expected, last)}`], key);
      }
      await page.locator('#explanation .step-list').focus();
      await page.keyboard.press('ArrowDown');
      await checkSelected(doc, figures[0], Math.min(1, last), 'ArrowDown on the list');
      // Halves and thirds: a switch, the selection kept.
      if (figures.length > 1) {
        const other = doc.figures[figures[1]];
        await page.getByRole('button', { name: other.name, exact: true }).click();
        assert.equal(await page.getByRole('button', { name: other.name, exact: true }).getAttribute('aria-pressed'), 'true');
        assert.equal(await page.getByRole('button', { name: figure.name, exact: true }).getAttribute('aria-pressed'), 'false');
        assert.equal(await shownWheel().locator('desc').textContent(), other.alt);
        await checkSelected(doc, figures[1], Math.min(1, last), 'after the switch');
      }
      // Ctrl+C with nothing selected still copies the whole text; Esc closes.
      await shownWheel().focus();
      await page.keyboard.press('Control+C');
      assert.equal(await copied(), await coreExplanation());
      await page.keyboard.press('Escape');
      assert.equal(await dialog().isVisible(), false);
      assert.deepEqual(await allTexts(), before, 'the worksheet changed');
    });
  }

  test('the notebook of notebook.tsv: its lines, in fixed-pitch columns', async () => {
    await fresh();
    for (const row of loadCases('notebook.tsv')) {
      await calculate(row.numerator, row.denominator);
      await page.keyboard.press('F1');
      const shown = await page.evaluate(() => [...document.querySelectorAll('#explanation pre.notebook .line')].map((line) => {
        // Each character's advance, up to the note at the end of the last line.
        const text = line.firstChild;
        const columns = text.data.split('  ←')[0].length;
        const range = document.createRange();
        range.setStart(text, 0);
        range.setEnd(text, columns);
        return { text: text.data, advance: range.getBoundingClientRect().width / columns };
      }));
      assert.equal(shown.map((line) => line.text).join('|'), row.lines, row.case);
      const advances = shown.map((line) => line.advance);
      assert.ok(Math.max(...advances) - Math.min(...advances) < 0.01, `${row.case}: ${advances}`);
      await page.keyboard.press('Escape');
    }
  });

  test('the lead first: a column beside the text, or above it on a phone', async () => {
    for (const [width, height, emulation] of [[1000, 700, {}], [360, 740, {}], [360, 640, phone]]) {
      const own = await browser.newPage({ ...emulation, viewport: { width, height } });
      try {
        await own.goto(pageUrl);
        await waitUntilReady(own);
        await own.locator('#Text2_5').fill('1');
        await own.locator('#Text2_0').fill('17');
        await own.locator('#Command1_0').click();
        await own.keyboard.press('F1');
        const [text, notation, wheel, rest] = await own.evaluate(() =>
          ['.text', '.lead p.notation', 'svg.wheel', '.rest h2'].map((part) => {
            const r = document.querySelector(`#explanation ${part}`).getBoundingClientRect();
            return { left: r.left, top: r.top, right: r.right, bottom: r.bottom };
          }));
        const sizes = JSON.stringify({ text, notation, wheel, rest });
        // Seen at once without scrolling, within the view's width.
        assert.ok(notation.top >= text.top && wheel.bottom <= text.bottom && wheel.right <= text.right, sizes);
        if (width > 640) {
          assert.ok(wheel.right <= rest.left && rest.top < wheel.bottom, sizes);  // beside
        } else {
          assert.ok(notation.bottom <= wheel.top && wheel.bottom <= rest.top, sizes);  // above
        }
      } finally {
        await own.close();
      }
    }
  });

  test('screenshots of the view for the manual: 1/7 and 1/17', async () => {
    const own = await browser.newPage({ viewport: { width: 1000, height: 700 } });
    try {
      await own.goto(pageUrl);
      await waitUntilReady(own);
      for (const [denominator, file] of [['7', 'explain-web.png'], ['17', 'explain-web-17.png']]) {
        if (await own.locator('#explanation').isVisible()) {
          await own.keyboard.press('Escape');
        }
        await own.locator('#Text2_5').fill('1');
        await own.locator('#Text2_0').fill(denominator);
        await own.locator('#Command1_0').click();
        await own.keyboard.press('F1');
        const path = fileURLToPath(new URL(`../../docs/${file}`, import.meta.url));
        await own.screenshot({ path });
        assert.ok(readFileSync(path).length > 1000);
      }
    } finally {
      await own.close();
    }
  });
});

describe('start', () => {
  test('the window is drawn before the module is ready, and ignores clicks and typing until it is', async () => {
    const own = await browser.newContext();
    try {
      // Hold the module back for a moment.
      await own.addInitScript(() => {
        const instantiate = WebAssembly.instantiate;
        WebAssembly.instantiate = (...args) =>
          new Promise((resolve) => setTimeout(resolve, 700)).then(() => instantiate(...args));
      });
      const target = await own.newPage();
      await target.goto(pageUrl);
      await target.locator('#Command1_0').waitFor({ state: 'visible' });
      assert.equal(await target.evaluate(() => performance.getEntriesByName('zelvane-ready').length), 0);
      assert.equal(await target.locator('#Command1_1').isDisabled(), true);  // as the core's Load leaves it
      await target.locator('#Text2_5').click();
      await target.keyboard.type('7');
      await target.locator('#Command1_0').click();
      assert.equal(await target.locator('#Text2_5').inputValue(), '');
      assert.equal(await target.locator('#Text2_1').inputValue(), '');
      await waitUntilReady(target);
      await target.locator('#Text2_5').click();
      await target.keyboard.type('7');
      await target.locator('#Text2_0').fill('13');
      await target.locator('#Command1_0').click();
      assert.equal(await target.locator('#Text2_1').inputValue(), '0.05384615384615384');
    } finally {
      await own.close();
    }
  });

  for (const [name, script] of [
    ['a page that draws no frame (opened in the background)', () => { window.requestAnimationFrame = () => 0; }],
    ['a browser without Uint8Array.fromBase64', () => { delete Uint8Array.fromBase64; }],
    ['a browser without DecompressionStream', () => { delete globalThis.DecompressionStream; }],
  ]) {
    test(`${name} starts all the same`, async () => {
      const own = await browser.newContext();
      try {
        await own.addInitScript(script);
        const target = await own.newPage();
        await target.goto(pageUrl);
        await target.waitForFunction(() => performance.getEntriesByName('zelvane-ready').length > 0, null, {
          polling: 50,  // waiting on frames would wait for ever without them
          timeout: 10000,
        });
        await target.locator('#Text2_5').fill('7');
        await target.locator('#Text2_0').fill('13');
        await target.locator('#Command1_0').click();
        assert.equal(await target.locator('#Text2_1').inputValue(), '0.05384615384615384');
      } finally {
        await own.close();
      }
    });
  }
});

// The loader's own unpacker, on what gzip writes at each setting: stored,
// fixed and dynamic blocks, long matches, and a name in the header; and
// damaged data, which must throw rather than give wrong bytes or hang.
test('the loader unpacks the gzip forms it may meet, and refuses damaged ones', () => {
  const gunzip = new Function(`${readFileSync(new URL('../../web/gunzip.js', import.meta.url), 'utf8')}; return gunzip;`)();
  const picture = readFileSync(new URL('../../assets/icons/zelvane.png', import.meta.url));
  const text = Buffer.from('0,(142857) '.repeat(3000));
  for (const [data, options] of [
    [picture, { level: 0 }], [text, { level: 0 }], [text, { strategy: zlib.constants.Z_FIXED }],
    [picture, { level: 9 }], [text, { level: 9 }], [Buffer.alloc(70000), {}], [Buffer.alloc(0), {}],
    [picture, { strategy: zlib.constants.Z_HUFFMAN_ONLY }], [text, { strategy: zlib.constants.Z_RLE }],
  ]) {
    assert.deepEqual(Buffer.from(gunzip(zlib.gzipSync(data, options))), data, JSON.stringify(options));
  }
  const named = Buffer.concat([Buffer.from([0x1f, 0x8b, 8, 8, 0, 0, 0, 0, 0, 3]), Buffer.from('zelvane.wasm\0'),
    zlib.gzipSync(text).subarray(10)]);
  assert.deepEqual(Buffer.from(gunzip(named)), text);
  const whole = zlib.gzipSync(picture, { level: 9 });
  for (const damaged of [whole.subarray(0, whole.length / 2), Buffer.from(whole).fill(0xff, 10, 40),
    Buffer.from('not gzip at all'), Buffer.concat([whole.subarray(0, -4), Buffer.from([0xff, 0xff, 0xff, 0])])]) {
    assert.throws(() => gunzip(damaged));
  }
});

describe('memory', () => {
  const descriptionText = () => page.evaluate(() => Module.UTF8ToString(Module._zelvane_description()));

  test('an edit the core cannot be given memory for is refused, and nothing is overwritten', async () => {
    await fresh();
    const before = await descriptionText();
    await type(NUMERATOR, '7');
    await page.evaluate(() => {
      window.realMalloc = Module._malloc;
      Module._malloc = () => 0;
    });
    await field(NUMERATOR).press('End');
    await page.keyboard.type('1');
    await paste(LEFT, '538');
    await page.evaluate(() => {
      Module._malloc = window.realMalloc;
    });
    assert.deepEqual(await texts([NUMERATOR, LEFT]), ['7', '']);
    await checkFieldsShowTheCore();
    assert.equal(await descriptionText(), before);
    await type(DENOMINATOR, '13');
    await click(CALCULATE);
    assert.equal(await field(EXPANSION).inputValue(), '0.05384615384615384');
  });

  test('100 MB pasted into a group: the page keeps working, the description intact', async () => {
    await fresh();
    const before = await descriptionText();
    await calculate('7', '13');
    await field(LEFT).focus();
    await page.keyboard.press('Control+A');
    await field(LEFT).evaluate((element) => {
      const transfer = new DataTransfer();
      transfer.setData('text/plain', '1'.repeat(100 * 1024 * 1024));
      element.dispatchEvent(new ClipboardEvent('paste', { clipboardData: transfer, bubbles: true, cancelable: true }));
    });
    await checkFieldsShowTheCore();
    // A group keeps what a Windows edit box keeps, 32 767 characters.
    assert.equal((await field(LEFT).inputValue()).length, 32767);
    assert.equal(await descriptionText(), before);
    await type(LEFT, '100');
    await type(RIGHT, '899');
    await click(ADD_PARTS);
    assert.equal(await field(SUM).inputValue(), '999');
  });
});

describe('offline and private', () => {
  // One session over the page's whole life: load, calculate, add, clear.
  async function session(target, url) {
    const requests = [];
    target.on('request', (r) => requests.push(r.url()));
    await target.goto(url);
    await waitUntilReady(target);
    const atLoad = requests.splice(0);
    await target.locator('#Text2_5').fill('7');
    await target.locator('#Text2_0').fill('13');
    await target.locator('#Command1_0').click();
    await target.locator('#Text2_3').fill('900');
    await target.locator('#Command1_1').click();
    await target.locator('#Text1_0').hover();
    await target.locator('#Command1_2').click();
    await target.waitForTimeout(300);
    return { atLoad, afterLoad: requests };
  }

  test('from a file:// address: the page itself, then no request', async () => {
    const own = await browser.newContext();
    try {
      const { atLoad, afterLoad } = await session(await own.newPage(), pageUrl);
      assert.deepEqual(atLoad, [pageUrl]);
      assert.deepEqual(afterLoad, []);
    } finally {
      await own.close();
    }
  });

  test('from a web server: the page itself, then no request; nothing stored', async () => {
    const html = readFileSync(pagePath);
    const served = [];
    const server = createServer((request, response) => {
      served.push(request.url);
      if (request.url === '/' || request.url === '/index.html') {
        response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
        response.end(html);
      } else {
        response.writeHead(404);
        response.end();
      }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const own = await browser.newContext();
    try {
      const url = `http://127.0.0.1:${server.address().port}/`;
      const target = await own.newPage();
      const { atLoad, afterLoad } = await session(target, url);
      assert.deepEqual(atLoad, [url]);
      assert.deepEqual(afterLoad, []);
      assert.deepEqual(served, ['/']);  // no icon, no module, nothing else
      assert.deepEqual(await own.cookies(), []);
      assert.deepEqual(
        await target.evaluate(async () => [
          document.cookie, localStorage.length, sessionStorage.length, (await indexedDB.databases()).length,
          (await caches.keys()).length,
        ]),
        ['', 0, 0, 0, 0]);
    } finally {
      await own.close();
      server.close();
    }
  });

  for (const [name, script] of [
    ['no WebAssembly at all', () => { delete globalThis.WebAssembly; }],
    ['the module does not compile', () => {
      const refuse = () => Promise.reject(new WebAssembly.CompileError('refused'));
      WebAssembly.compile = refuse;
      WebAssembly.compileStreaming = refuse;
      WebAssembly.instantiate = refuse;
      WebAssembly.instantiateStreaming = refuse;
    }],
  ]) {
    test(`${name}: a message in Bulgarian instead of a dead form`, async () => {
      const own = await browser.newContext();
      try {
        await own.addInitScript(script);
        const target = await own.newPage();
        await target.goto(pageUrl);
        const failure = target.locator('#failure');
        await failure.waitFor({ state: 'visible', timeout: 10000 });
        assert.match(await failure.textContent(), /^Страницата не може да работи.*WebAssembly/);
        assert.equal(await target.locator('#Zelvane').isVisible(), false);
      } finally {
        await own.close();
      }
    });
  }
});

// Fills in a fraction on any page and opens its explanation.
async function explainOn(target, numerator, denominator) {
  await target.locator('#Text2_5').fill(numerator);
  await target.locator('#Text2_0').fill(denominator);
  await target.locator('#Command1_0').click();
  await target.keyboard.press('F1');
  await target.locator('#explanation').waitFor({ state: 'visible' });
}

describe('accessibility', () => {
  const axe = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
  for (const [name, denominator] of [['the worksheet', null], ['the explanation of 1/7 open', '7']]) {
    test(`axe-core finds nothing on ${name}`, async () => {
      await fresh();
      if (denominator) {
        await explainOn(page, '1', denominator);
      }
      await page.addScriptTag({ path: axe });
      const violations = await page.evaluate(async () => (await window.axe.run()).violations.map((v) =>
        `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`));
      assert.deepEqual(violations, []);
    });
  }
});

describe('phone', () => {
  let own;
  let target;
  before(async () => {
    own = await browser.newContext(phone);
    target = await own.newPage();
  });
  after(async () => {
    await own?.close();
  });
  const active = () => target.evaluate(() => document.activeElement.id);

  test('the number fields bring up a number keyboard; a double tap the full one, until the field is left', async () => {
    await target.goto(pageUrl);
    await waitUntilReady(target);
    const d = await target.evaluate(() => JSON.parse(Module.UTF8ToString(Module._zelvane_description())));
    const modes = await target.evaluate(() => [...document.querySelectorAll('#Zelvane input')].map((e) => [e.id, e.inputMode]));
    assert.deepEqual(Object.fromEntries(modes),
      Object.fromEntries(d.Text2.map((f, i) => [`Text2_${i}`, f.numberKeyboard ? 'decimal' : ''])));
    for (const index of d.Text2.flatMap((f, i) => (f.numberKeyboard ? [i] : []))) {
      const box = await target.locator(`#Text2_${index}`).boundingBox();
      const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
      await target.touchscreen.tap(x, y);
      assert.equal(await target.locator(`#Text2_${index}`).evaluate((e) => e.inputMode), 'decimal');
      await target.touchscreen.tap(x, y);
      assert.equal(await active(), `Text2_${index}`);
      assert.equal(await target.locator(`#Text2_${index}`).evaluate((e) => e.inputMode), 'text');
      await target.keyboard.type('-1.5');  // any character still goes in
      assert.equal(await target.locator(`#Text2_${index}`).inputValue(), '-1.5');
      await target.locator('#Text2_2').tap();
      assert.equal(await target.locator(`#Text2_${index}`).evaluate((e) => e.inputMode), 'decimal');
    }
  });

  test('a tap beside a field or a button, within its touch area, reaches it; no two areas meet', async (t) => {
    await target.goto(pageUrl);
    await waitUntilReady(target);
    await explainOn(target, '7', '13');  // Add parts available
    await target.keyboard.press('Escape');
    await target.evaluate(() => {
      Module._zelvane_click = () => 0;  // the buttons change nothing meanwhile
      window.clicked = [];
      document.querySelectorAll('#Zelvane button').forEach((b) => b.addEventListener('click', () => clicked.push(b.id)));
    });
    const d = await target.evaluate(() => JSON.parse(Module.UTF8ToString(Module._zelvane_description())));
    const rects = await target.evaluate((ids) => Object.fromEntries(ids.map((id) => {
      const r = (e) => { const b = e.getBoundingClientRect(); return [b.left, b.top, b.right, b.bottom]; };
      return [id, { box: r(document.getElementById(id)), area: r(document.querySelector(`.touch[data-for="${id}"]`)) }];
    })), d.focusOrder);
    const sizes = [];
    for (const [id, { box, area }] of Object.entries(rects)) {
      sizes.push(`${id} ${(area[2] - area[0]).toFixed(1)}×${(area[3] - area[1]).toFixed(1)} (drawn ${
        (box[2] - box[0]).toFixed(1)}×${(box[3] - box[1]).toFixed(1)})`);
      for (const [other, { area: o }] of Object.entries(rects)) {
        const meet = other !== id && area[0] < o[2] && o[0] < area[2] && area[1] < o[3] && o[1] < area[3];
        assert.ok(!meet, `${id} and ${other}`);
      }
      const [cx, cy] = [(box[0] + box[2]) / 2, (box[1] + box[3]) / 2];
      // Outside each side of the drawn box, a few px or halfway to the
      // area's edge: beyond, in the narrow gaps, Chromium's own touch
      // adjustment may give the tap to the neighbour's label.
      for (const [side, reach, point] of [
        ['left', box[0] - area[0], (off) => [box[0] - off, cy]], ['right', area[2] - box[2], (off) => [box[2] + off, cy]],
        ['top', box[1] - area[1], (off) => [cx, box[1] - off]], ['bottom', area[3] - box[3], (off) => [cx, box[3] + off]],
      ]) {
        // Not at the window's edge, nor beside the task text's scroll bar,
        // where a tap scrolls the text.
        if (reach < 1.5 || (id === `Text1_${d.taskText}` && side === 'right')) {
          continue;
        }
        await target.locator('#Text1_0').evaluate((e) => e.blur());
        await target.evaluate(() => { clicked.length = 0; });
        await target.touchscreen.tap(...point(Math.min(3, reach / 2)));
        const reached = id.startsWith('Command1_') ? (await target.evaluate(() => clicked.join())) : await active();
        assert.equal(reached, id, `a tap ${side} of ${id}`);
      }
    }
    t.diagnostic(`touch areas at 360 px, CSS px: ${sizes.join('; ')}`);
  });
});

describe('print', () => {
  // The PDF Chromium prints of the open view, and its text.
  async function printed(numerator, denominator, prepare = async () => {}) {
    const own = await browser.newPage({ viewport: { width: 1000, height: 700 } });
    const folder = mkdtempSync(join(tmpdir(), 'zelvane-print-'));
    try {
      await own.goto(pageUrl);
      await waitUntilReady(own);
      await explainOn(own, numerator, denominator);
      await prepare(own);
      const pdf = join(folder, 'view.pdf');
      await own.pdf({ path: pdf, format: 'A4' });
      // Where the wheel stands on paper: the page laid out as printed, at
      // the width between the margins (180 mm).
      await own.emulateMedia({ media: 'print' });
      await own.setViewportSize({ width: Math.floor((180 / 25.4) * 96), height: 700 });
      const wheel = await own.locator('#explanation svg.wheel:visible').evaluate((svg) => {
        const r = svg.getBoundingClientRect();
        return [r.left + scrollX, r.top + scrollY, r.width, r.height,
          getComputedStyle(svg.querySelector('.selection')).display];
      });
      const text = execFileSync('pdftotext', ['-layout', pdf, '-'], { encoding: 'utf8' });
      const pages = Number(/Pages:\s+(\d+)/.exec(execFileSync('pdfinfo', [pdf], { encoding: 'utf8' }))[1]);
      execFileSync('pdftoppm', ['-r', '40', '-png', '-f', '1', '-l', '1', '-singlefile', pdf, join(folder, 'page')]);
      const png = readFileSync(join(folder, 'page.png')).toString('base64');
      const doc = await own.evaluate(() => JSON.parse(Module.UTF8ToString(Module._zelvane_explanation_json())));
      return { text, pages, png, wheel, doc };
    } finally {
      await own.close();
      rmSync(folder, { recursive: true, force: true });
    }
  }

  // The dark and the coloured pixels of a box of a PNG, in its pixels.
  async function inks(png, [x, y, width, height]) {
    const own = await browser.newPage();
    try {
      return await own.evaluate(async ([data, box]) => {
        const image = new Image();
        image.src = `data:image/png;base64,${data}`;
        await image.decode();
        const canvas = document.createElement('canvas');
        canvas.width = image.width;
        canvas.height = image.height;
        const context = canvas.getContext('2d');
        context.drawImage(image, 0, 0);
        const pixels = context.getImageData(...box).data;
        let dark = 0, coloured = 0;
        for (let k = 0; k < pixels.length; k += 4) {
          const [r, g, b] = pixels.subarray(k, k + 3);
          dark += r + g + b < 3 * 128;
          coloured += Math.max(r, g, b) - Math.min(r, g, b) > 24;
        }
        return { dark, coloured, all: pixels.length / 4 };
      }, [png, [x, y, width, height]]);
    } finally {
      await own.close();
    }
  }

  for (const [numerator, denominator, maxPages] of [['1', '7', 4], ['1', '9967', 12]]) {
    test(`the open view of ${numerator}/${denominator} prints alone on A4, in black and white, the rows cut at 60`, async () => {
      const { text, pages, png, wheel, doc } = await printed(numerator, denominator, async (own) => {
        await own.locator('#explanation .step-list').focus();
        await own.keyboard.press('End');  // a selection, which does not print
      });
      const flat = text.replace(/\s+/g, ' ');
      const notation = doc.blocks.find((b, i) => i < doc.lead && b.kind === 'notation');
      for (const part of [doc.title, notation.text, 'Стъпка 1:']) {
        assert.ok(flat.includes(part), part);
      }
      for (const part of ['Тарквел', 'Печат…', 'Затвори', 'Първите']) {
        assert.ok(!flat.includes(part), `${part}: the worksheet, the commands or the question printed`);
      }
      const rows = (flat.match(/Стъпка \d+:/g) || []).length;
      assert.equal(rows, Math.min(doc.stepCount, doc.print.printed));
      assert.equal(doc.print.unprinted !== '' && flat.includes(doc.print.unprinted), doc.stepCount > doc.print.printed,
        'the line for the rest');
      assert.ok(pages <= maxPages, `${pages} pages`);
      assert.equal(wheel[4], 'none', 'the selection printed');
      // Ink where the wheel is, in greys only: 40 pixels an inch from
      // 96 CSS px an inch, after the 15 mm margins.
      const margin = (15 / 25.4) * 96;
      const box = [wheel[0] + margin, wheel[1] + margin, wheel[2], wheel[3]].map((v) => Math.round((v * 40) / 96));
      const found = await inks(png, box);
      assert.ok(found.dark > found.all / 200 && found.coloured < found.all / 200, JSON.stringify({ box, found }));
    });
  }

  test('Ctrl+P and the print command: a long division asks first, in the core\'s words; Esc prints nothing', async () => {
    const own = await browser.newPage({ viewport: { width: 1000, height: 700 } });
    try {
      await own.goto(pageUrl);
      await waitUntilReady(own);
      await own.evaluate(() => {
        window.prints = [];
        window.print = () => prints.push(document.querySelectorAll('#explanation .printed-steps .row').length);
      });
      const d = await own.evaluate(() => JSON.parse(Module.UTF8ToString(Module._zelvane_description())));
      const prints = () => own.evaluate(() => prints.splice(0));
      const question = own.locator('#explanation dialog.ask');
      await explainOn(own, '1', '7');
      await own.getByRole('button', { name: d.printCommand, exact: true }).click();
      await own.keyboard.press('Control+P');
      assert.deepEqual(await prints(), [7, 7]);
      await own.keyboard.press('Escape');
      await explainOn(own, '1', '9967');
      const doc = await own.evaluate(() => JSON.parse(Module.UTF8ToString(Module._zelvane_explanation_json())));
      for (const [answer, rows] of [[null, []], [doc.print.few, [60]], [doc.print.all, [9967]]]) {
        await own.locator('#explanation .text').focus();
        await own.keyboard.press('Control+P');
        assert.equal(await question.locator('p').innerText(), doc.print.question);
        if (answer === null) {
          await own.keyboard.press('Escape');
        } else {
          await question.getByRole('button', { name: answer, exact: true }).click();
        }
        assert.equal(await question.count(), 0);
        assert.equal(await own.locator('#explanation').isVisible(), true, 'Esc closed the view');
        assert.deepEqual(await prints(), rows, answer);
        await own.evaluate(() => window.dispatchEvent(new Event('afterprint')));
        assert.equal(await own.locator('#explanation .printed-steps .row').count(), 60);
      }
    } finally {
      await own.close();
    }
  });
});

// The browser's own zoom: the CSS viewport shrinks by the zoom and each CSS
// pixel takes that many of the screen's. The window keeps its layout.
describe('zoom', () => {
  for (const zoom of [2, 3]) {
    test(`at ${zoom * 100} % every control stays at its place and the view opens`, async () => {
      const own = await browser.newPage({ viewport: { width: Math.floor(1600 / zoom), height: Math.floor(1000 / zoom) },
        deviceScaleFactor: zoom });
      try {
        await own.goto(pageUrl);
        await waitUntilReady(own);
        const d = await own.evaluate(() => JSON.parse(Module.UTF8ToString(Module._zelvane_description())));
        const shown = await own.evaluate(() => {
          const form = document.getElementById('Zelvane').getBoundingClientRect();
          return Object.fromEntries([...document.querySelectorAll('#Zelvane > [id]')].map((e) => {
            const r = e.getBoundingClientRect();
            return [e.id, [r.left - form.left, r.top - form.top, r.width, r.height]];
          }));
        });
        const controls = [...d.Label1.map((c, i) => [`Label1_${i}`, c]), ...d.Text2.map((c, i) => [`Text2_${i}`, c]),
          ...d.Command1.map((c, i) => [`Command1_${i}`, c]), [`Text1_${d.taskText}`, d.Text1[d.taskText]]];
        for (const [id, control] of controls) {
          assert.deepEqual(shown[id], control.twips.map((t) => t / 15), id);
        }
        await explainOn(own, '1', '7');
        assert.ok((await own.locator('#explanation').innerText()).includes('1/7 = 0,(142857)'));
      } finally {
        await own.close();
      }
    });
  }
});
