// Reads the shared case tables (tests/cases/*.tsv) in the format of
// tests/cases/case_table.h: UTF-8; '#' lines and empty lines skipped; the
// first other line names the columns; cells separated by single tabs;
// missing trailing cells are empty; escapes resolved.
import { readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';

export const casesDir = fileURLToPath(new URL('../cases/', import.meta.url));

// The word that says a click must change nothing at all.
export const UNCHANGED = 'unchanged';

export function loadCases(file) {
  const lines = readFileSync(casesDir + file, 'utf8').split('\n');
  let columns = null;
  const rows = [];
  lines.forEach((raw, number) => {
    const line = raw.endsWith('\r') ? raw.slice(0, -1) : raw;
    if (line === '' || line.startsWith('#')) {
      return;
    }
    const cells = line.split('\t');
    if (!columns) {
      columns = cells;
      return;
    }
    if (cells.length > columns.length) {
      throw new Error(`${file}:${number + 1}: more cells than columns`);
    }
    const row = {};
    columns.forEach((column, i) => {
      row[column] = unescape(cells[i] ?? '');
    });
    rows.push(row);
  });
  return rows;
}

// A cell's escapes: \r \n \t \0 \\ and \uXXXX, one UTF-16 unit.
function unescape(cell) {
  const simple = { r: '\r', n: '\n', t: '\t', 0: '\0', '\\': '\\' };
  return cell.replace(/\\(u[0-9A-Fa-f]{4}|[rnt0\\])/g, (_, e) =>
    e.length === 5 ? String.fromCharCode(parseInt(e.slice(1), 16)) : simple[e]);
}

// Characters, as a field's four-character limit counts them.
export function characterCount(text) {
  return [...text].length;
}
