// The explain view: a dialog of its own, made when first opened, that
// renders the core's explanation of the fraction last calculated as it is.
// The lead comes first (a column of its own where the view is wide enough,
// else above the text): the notation, the wheel of remainders drawn as SVG
// from the core's instructions, the halves' sum, and the list of the steps.
// The pupil selects a step on the wheel, in the list, in the notebook or
// with the arrow keys; the core says which step a click on the wheel falls
// on and what to draw over a selected step. The view computes no place and
// writes no sentence of its own.
'use strict';

function zelvaneExplainView(Module, d) {
  // Step rows go into chunks of this many, each made only when it scrolls
  // into sight: 1/9967 has 9 967 of them.
  var ROWS_PER_CHUNK = 100;
  // Narrower than this many ems, the lead stands above the text.
  var STACKED_BELOW = 40;
  var NONE = -1;

  var dialog, text, leadColumn, restColumn, inkStyle;
  // What the view shows (made anew for each explanation): the document, its
  // step rows, the selected step, and the elements that show a step.
  var view = null;

  function utf8(address) {
    return Module.UTF8ToString(address);
  }

  // The texts of the step rows [first, first + count).
  function stepRows(first, count) {
    var rows = utf8(Module._zelvane_explanation_rows(first, count)).split('\n');
    rows.pop();  // after the last row's line end
    return rows;
  }

  function element(name, className) {
    var made = document.createElement(name);
    if (className) {
      made.className = className;
    }
    return made;
  }

  // `text` into `into`, its raised runs ([from, to) in UTF-16 units) as
  // <sup>, and the unit at `marked` (or none) as a highlighted digit.
  function fillRuns(into, text, raised, marked) {
    raised = raised || [];
    if (raised.length === 0 && marked === NONE) {
      into.textContent = text;
      return;
    }
    var cuts = [0, text.length];
    raised.forEach(function (run) {
      cuts.push(run[0], run[1]);
    });
    if (marked !== NONE) {
      cuts.push(marked, marked + 1);
    }
    cuts.sort(function (a, b) { return a - b; });
    var parts = document.createDocumentFragment();
    for (var i = 0; i + 1 < cuts.length; i++) {
      var from = cuts[i], to = cuts[i + 1];
      if (from === to) {
        continue;
      }
      var part = document.createTextNode(text.slice(from, to));
      if (raised.some(function (run) { return run[0] <= from && to <= run[1]; })) {
        var sup = element('sup');
        sup.appendChild(part);
        part = sup;
      }
      if (from === marked) {
        var mark = element('mark', 'digit');
        mark.appendChild(part);
        part = mark;
      }
      parts.appendChild(part);
    }
    into.replaceChildren(parts);
  }

  // --- The figure -------------------------------------------------------

  function escaped(text) {
    return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  }

  // The SVG markup of the core's shapes, in their order; shapes of a step
  // carry it, so that later steps can be hidden.
  function shapesMarkup(shapes, points, inks) {
    function paint(ink) {
      return ink ? inks[ink] : 'none';
    }
    function pointList(shape) {
      var list = [];
      for (var k = shape.first; k < shape.first + shape.count; k++) {
        list.push(points[2 * k] + ',' + points[2 * k + 1]);
      }
      return list.join(' ');
    }
    var out = [];
    shapes.forEach(function (s) {
      var stroke = s.stroke ? ' stroke="' + inks[s.stroke] + '" stroke-width="' + s.width + '"' : ' stroke="none"';
      var step = s.step === undefined ? '' : ' data-step="' + s.step + '"';
      switch (s.kind) {
        case 'circle':
          out.push('<circle cx="' + s.at[0] + '" cy="' + s.at[1] + '" r="' + s.radius + '" fill="' + paint(s.fill) + '"' +
                   stroke + step + '/>');
          break;
        case 'line':
          out.push('<line x1="' + s.at[0] + '" y1="' + s.at[1] + '" x2="' + s.to[0] + '" y2="' + s.to[1] + '"' + stroke +
                   step + '/>');
          break;
        case 'polygon':
          out.push('<polygon points="' + pointList(s) + '" fill="' + paint(s.fill) + '"' + stroke + step + '/>');
          break;
        case 'polyline':
          out.push('<polyline points="' + pointList(s) + '" fill="none" stroke-linejoin="round"' + stroke + step + '/>');
          break;
        case 'arc':
          if (Math.abs(s.sweep) >= 360 || (Math.abs(s.sweep) > 180 && s.from[0] === s.to[0] && s.from[1] === s.to[1])) {
            out.push('<circle cx="' + s.at[0] + '" cy="' + s.at[1] + '" r="' + s.radius + '" fill="none"' + stroke + step + '/>');
          } else {
            out.push('<path d="M' + s.from[0] + ' ' + s.from[1] + 'A' + s.radius + ' ' + s.radius + ' 0 ' +
                     (Math.abs(s.sweep) > 180 ? 1 : 0) + ' ' + (s.sweep > 0 ? 1 : 0) + ' ' + s.to[0] + ' ' + s.to[1] +
                     '" fill="none"' + stroke + step + '/>');
          }
          break;
        case 'text':
          out.push('<text x="' + s.at[0] + '" y="' + s.at[1] + '" font-size="' + s.size + '"' +
                   (s.bold ? ' font-weight="bold"' : '') + ' text-anchor="' +
                   ({ left: 'start', right: 'end' }[s.align] || 'middle') + '" fill="' + paint(s.stroke) + '"' + step +
                   '>' + escaped(s.text) + '</text>');
          break;
      }
    });
    return out.join('');
  }

  // One figure of the document, drawn when first shown: its SVG, the layer
  // of the selection on top, and its shapes of a step, in step order.
  function drawFigure(index) {
    var figure = view.doc.figures[index];
    var holder = element('div');
    holder.innerHTML = '<svg xmlns="http://www.w3.org/2000/svg" class="wheel" role="img" tabindex="0" viewBox="0 0 ' +
      figure.width + ' ' + figure.height + '" width="' + figure.width + '" height="' + figure.height + '"><desc>' +
      escaped(figure.alt) + '</desc><g>' +
      shapesMarkup(figure.shapes, figure.points, view.doc.inks) + '</g><g class="selection"></g></svg>';
    var svg = holder.firstChild;
    svg.setAttribute('aria-label', d.figureName);  // and described by its text alternative
    svg.style.maxWidth = figure.width + 'px';
    var stepped = Array.prototype.slice.call(svg.querySelectorAll('[data-step]'));
    var steps = stepped.map(function (shape) { return Number(shape.getAttribute('data-step')); });
    var order = steps.map(function (step, k) { return k; });
    order.sort(function (a, b) { return steps[a] - steps[b] || a - b; });
    var drawn = {
      index: index,
      svg: svg,
      layer: svg.lastChild,
      stepped: order.map(function (k) { return stepped[k]; }),
      steps: Int32Array.from(order.map(function (k) { return steps[k]; })),
      hiddenFrom: stepped.length,  // the shapes from here on are hidden
      selection: NONE,             // the step the selection layer shows
    };
    svg.addEventListener('click', function (event) {
      var matrix = svg.getScreenCTM();
      if (!matrix) {
        return;
      }
      var at = new DOMPoint(event.clientX, event.clientY).matrixTransform(matrix.inverse());
      var step = Module._zelvane_figure_step_at(index, at.x, at.y);
      if (step >= 0) {
        select(step);
      }
    });
    svg.addEventListener('keydown', walk);
    return drawn;
  }

  // Brings a drawn figure up to the selected step: only the shapes whose
  // step crosses the selection are shown or hidden, and the selection
  // layer is drawn anew.
  function showSelection(drawn) {
    var selected = view.selected;
    var hiddenFrom = drawn.steps.length;
    if (selected !== NONE) {
      var low = 0;
      while (low < hiddenFrom) {  // the first shape of a later step
        var middle = (low + hiddenFrom) >> 1;
        if (drawn.steps[middle] <= selected) {
          low = middle + 1;
        } else {
          hiddenFrom = middle;
        }
      }
    }
    for (var k = Math.min(hiddenFrom, drawn.hiddenFrom); k < Math.max(hiddenFrom, drawn.hiddenFrom); k++) {
      drawn.stepped[k].style.display = k >= hiddenFrom ? 'none' : '';
    }
    drawn.hiddenFrom = hiddenFrom;
    if (drawn.selection !== selected) {
      drawn.layer.innerHTML = selected === NONE ? '' :
        shapesMarkup(JSON.parse(utf8(Module._zelvane_figure_selection(drawn.index, selected))), [], view.doc.inks);
      drawn.selection = selected;
    }
  }

  // One figure block, or two in a row with a switch between them.
  function figureElement(indices) {
    var box = element('div', 'figure');
    var drawing = element('div', 'drawing');
    var drawn = [];
    var buttons = [];
    function show(which) {
      if (!drawn[which]) {
        drawn[which] = drawFigure(indices[which]);
        drawing.appendChild(drawn[which].svg);
      }
      drawn.forEach(function (other, k) {
        if (other) {
          other.svg.style.display = k === which ? '' : 'none';
        }
      });
      buttons.forEach(function (button, k) {
        button.setAttribute('aria-pressed', String(k === which));
      });
      var focused = view.shown && view.shown.svg === document.activeElement;
      view.shown = drawn[which];
      showSelection(view.shown);
      if (focused) {
        view.shown.svg.focus();
      }
    }
    if (indices.length > 1) {
      var choice = element('div', 'switch');
      choice.setAttribute('role', 'group');
      indices.forEach(function (index, k) {
        var button = element('button');
        button.type = 'button';
        button.textContent = view.doc.figures[index].name;
        button.addEventListener('click', function () {
          show(k);
        });
        buttons.push(button);
        choice.appendChild(button);
      });
      box.appendChild(choice);
    }
    box.appendChild(drawing);
    show(0);
    return box;
  }

  // --- The step list ----------------------------------------------------

  function stepList() {
    var list = element('div', 'step-list');
    list.setAttribute('role', 'listbox');
    list.setAttribute('aria-label', d.stepListName);
    list.tabIndex = 0;
    var steps = view.steps;
    var chunks = [];
    var observer = typeof IntersectionObserver === 'function' ? new IntersectionObserver(function (entries) {
      entries.forEach(function (entry) {
        if (entry.isIntersecting) {
          fill(entry.target);
        }
      });
    }, { root: list, rootMargin: '100% 0px' }) : null;
    for (var first = 0; first < steps; first += ROWS_PER_CHUNK) {
      var chunk = element('div', 'chunk');
      chunk.first = first;
      chunk.style.height = 'calc(var(--row, 2.5em) * ' + Math.min(ROWS_PER_CHUNK, steps - first) + ')';
      chunks.push(chunk);
      list.appendChild(chunk);
      if (observer) {
        observer.observe(chunk);
      }
    }
    function fill(chunk) {
      if (chunk.filled) {
        return;
      }
      chunk.filled = true;
      if (observer) {
        observer.unobserve(chunk);
      }
      var rows = stepRows(chunk.first, ROWS_PER_CHUNK);
      for (var k = chunk.first; k < chunk.first + rows.length; k++) {
        var row = element('div', 'row');
        row.id = 'explanation-step-' + k;
        row.setAttribute('role', 'option');
        row.setAttribute('aria-selected', String(k === view.selected));
        row.setAttribute('data-step', k);
        if (k === view.selected) {
          row.classList.add('selected');
        }
        row.textContent = rows[k - chunk.first];
        view.rowElements[k] = row;
        chunk.appendChild(row);
      }
      chunk.style.height = '';
    }
    list.addEventListener('click', function (event) {
      var row = event.target.closest('[data-step]');
      if (row) {
        select(Number(row.getAttribute('data-step')));
      }
    });
    list.addEventListener('keydown', walk);
    if (!observer) {
      chunks.forEach(fill);
    } else if (chunks.length > 0) {
      fill(chunks[0]);
    }
    view.list = list;
    view.rowOf = function (step) {
      fill(chunks[Math.floor(step / ROWS_PER_CHUNK)]);
      return view.rowElements[step];
    };
    // The rows not yet made stand as room for as many rows as tall as the
    // first chunk's.
    view.measureRows = function () {
      if (chunks.length > 0 && chunks[0].filled) {
        var height = chunks[0].getBoundingClientRect().height / chunks[0].childElementCount;
        if (height > 0) {
          list.style.setProperty('--row', height + 'px');
        }
      }
    };
    return list;
  }

  // --- Selecting a step ---------------------------------------------------

  function notationDigit() {
    var notation = view.notation;
    return notation && view.selected !== NONE && view.selected < notation.digits.length ?
      notation.digits[view.selected] : NONE;
  }

  function select(step) {
    if (!view || step === view.selected || step < 0 || step >= view.steps) {
      return;
    }
    var before = view.selected;
    var digitBefore = notationDigit();
    view.selected = step;
    if (view.shown) {
      showSelection(view.shown);
    }
    var notation = view.notation;
    if (notation && notationDigit() !== digitBefore) {
      fillRuns(notation.element, notation.block.text, notation.block.raised, notationDigit());
    }
    (view.lines[before] || []).forEach(function (line) { line.classList.remove('selected'); });
    (view.lines[step] || []).forEach(function (line) { line.classList.add('selected'); });
    if (view.list) {
      var old = before === NONE ? null : view.rowElements[before];
      if (old) {
        old.classList.remove('selected');
        old.setAttribute('aria-selected', 'false');
      }
      var row = view.rowOf(step);
      row.classList.add('selected');
      row.setAttribute('aria-selected', 'true');
      view.list.setAttribute('aria-activedescendant', row.id);
      // Into sight within the list only: the page around it stays.
      var top = view.list.getBoundingClientRect().top + view.list.clientTop;
      var bottom = top + view.list.clientHeight;
      var place = row.getBoundingClientRect();
      if (place.top < top) {
        view.list.scrollTop -= Math.ceil(top - place.top);
      } else if (place.bottom > bottom) {
        view.list.scrollTop += Math.ceil(Math.min(place.top - top, place.bottom - bottom));
      }
    }
  }

  // The arrow keys walk through the division, Home and End go to its ends,
  // Page Up and Page Down ten steps.
  function walk(event) {
    if (!view || view.steps === 0 || event.altKey || event.ctrlKey || event.metaKey) {
      return;
    }
    var last = view.steps - 1;
    var at = view.selected;
    var moves = {
      ArrowRight: 1, ArrowDown: 1, ArrowLeft: -1, ArrowUp: -1, PageDown: 10, PageUp: -10,
    };
    var next;
    if (event.key === 'Home') {
      next = 0;
    } else if (event.key === 'End') {
      next = last;
    } else if (moves[event.key]) {
      next = at === NONE ? 0 : Math.max(0, Math.min(last, at + moves[event.key]));
    } else {
      return;
    }
    event.preventDefault();
    select(next);
  }

  // --- The document -----------------------------------------------------

  function blockElement(block) {
    var made;
    switch (block.kind) {
      case 'heading':
      case 'paragraph':
      case 'notation':
        made = element(block.kind === 'heading' ? 'h2' : 'p', block.kind);
        fillRuns(made, block.text, block.raised, NONE);
        return made;
      // Fixed-pitch lines are not wrapped: where they are wider than the
      // view they scroll, also from the keyboard.
      case 'lines':
        made = element('pre', 'lines');
        made.tabIndex = 0;
        made.textContent = block.lines.join('\n');
        return made;
      case 'notebook':
        made = element('pre', 'notebook');
        made.tabIndex = 0;
        block.lines.forEach(function (text, k) {
          var line = element('span', 'line');
          line.textContent = text;
          var step = block.lineSteps[k];
          if (step !== NONE) {
            line.setAttribute('data-step', step);
            (view.lines[step] = view.lines[step] || []).push(line);
          }
          made.appendChild(line);
        });
        made.addEventListener('click', function (event) {
          var line = event.target.closest('[data-step]');
          if (line) {
            select(Number(line.getAttribute('data-step')));
          }
        });
        return made;
      default:
        made = element('p', block.kind);
        made.textContent = block.text || '';
        return made;
    }
  }

  function render() {
    var doc = JSON.parse(utf8(Module._zelvane_explanation_json()));
    view = {
      doc: doc, steps: doc.stepCount, selected: NONE, shown: null, notation: null,
      lines: {}, list: null, rowElements: [], rowOf: null, measureRows: null, printed: null, printedAll: null,
    };
    dialog.querySelector('h1').textContent = doc.title;
    dialog.style.setProperty('--selection', doc.inks.selection);
    var lead = document.createDocumentFragment();
    var rest = document.createDocumentFragment();
    var stepsApart = false;
    var blocks = doc.blocks;
    for (var i = 0; i < blocks.length; i++) {
      var block = blocks[i];
      var into = i < doc.lead ? lead : rest;
      if (block.kind === 'figure') {
        var indices = [block.figure];
        while (i + 1 < blocks.length && blocks[i + 1].kind === 'figure') {
          indices.push(blocks[++i].figure);
        }
        into.appendChild(figureElement(indices));
      } else if (block.kind === 'steps') {
        if (doc.lead > 0) {
          stepsApart = true;  // the rows go below the lead; here, where they are
          into.appendChild(blockElement(block));
        } else {
          into.appendChild(stepList());
        }
      } else {
        var made = blockElement(block);
        if (block.stepDigits && i < doc.lead && !view.notation) {
          var digits = new Int32Array(doc.stepCount).fill(NONE);
          block.stepDigits.forEach(function (run) {
            for (var k = 0; k < run[2] && run[0] + k < digits.length; k++) {
              digits[run[0] + k] = run[1] + k;
            }
          });
          view.notation = { element: made, block: block, digits: digits };
        }
        into.appendChild(made);
      }
    }
    if (stepsApart) {
      lead.appendChild(stepList());
    }
    // Where the list of steps stands, the rows as printed.
    view.printed = element('div', 'printed-steps');
    (stepsApart ? lead : rest).appendChild(view.printed);
    printSteps(false);
    printInks(doc);
    text.classList.toggle('apart', doc.lead > 0);
    leadColumn.replaceChildren(lead);
    restColumn.replaceChildren(rest);
    text.scrollTop = 0;
  }

  // --- Printing ----------------------------------------------------------

  // The rows that print: the first ones and the core's line for the rest,
  // or, when the pupil asked for them, all of them.
  function printSteps(all) {
    if (!view || view.printedAll === all) {
      return;
    }
    var print = view.doc.print;
    var count = all ? view.steps : Math.min(view.steps, print.printed);
    var parts = document.createDocumentFragment();
    stepRows(0, count).forEach(function (text) {
      var row = element('div', 'row');
      row.textContent = text;
      parts.appendChild(row);
    });
    if (!all && print.unprinted) {
      var rest = element('p', 'unprinted');
      rest.textContent = print.unprinted;
      parts.appendChild(rest);
    }
    view.printed.replaceChildren(parts);
    view.printedAll = all;
  }

  // On paper the wheel's inks are the core's print inks: black, greys and
  // white, told apart by weight.
  function printInks(doc) {
    var rules = [];
    Object.keys(doc.inks).forEach(function (ink) {
      var screen = doc.inks[ink], paper = doc.printInks[ink];
      if (paper && paper !== screen) {
        rules.push('#explanation svg.wheel [fill="' + screen + '"] { fill: ' + paper + '; }',
                   '#explanation svg.wheel [stroke="' + screen + '"] { stroke: ' + paper + '; }');
      }
    });
    inkStyle.textContent = '@media print { ' + rules.join(' ') + ' }';
  }

  // The print command and Ctrl+P: of a long division the pupil is asked
  // first, in the core's words, whether to print all its rows; Esc asks
  // nothing more and prints nothing.
  function printView() {
    if (!view || !view.doc.print.ask) {
      window.print();
      return;
    }
    var print = view.doc.print;
    var ask = element('dialog', 'ask');
    ask.setAttribute('aria-label', d.printCommand);
    var question = element('p');
    question.textContent = print.question;
    ask.setAttribute('aria-describedby', 'explanation-print-question');
    question.id = 'explanation-print-question';
    var answers = element('div', 'answers');
    [[print.few, false], [print.all, true]].forEach(function (answer) {
      var button = element('button');
      button.type = 'button';
      button.textContent = answer[0];
      button.addEventListener('click', function () {
        done();
        printSteps(answer[1]);
        window.print();  // returns once printed, where the browser waits
      });
      answers.appendChild(button);
    });
    ask.append(question, answers);
    ask.addEventListener('keydown', function (event) {
      event.stopPropagation();  // the view's own keys stay out of the question
      if (event.key === 'Escape') {
        event.preventDefault();
        done();
      }
    });
    function done() {
      ask.close();
      ask.remove();
    }
    ask.addEventListener('close', done);
    dialog.appendChild(ask);
    ask.showModal();
    answers.firstChild.focus();
  }

  // After printing, the first rows again, for the browser's own print.
  window.addEventListener('afterprint', function () {
    printSteps(false);
  });

  // Where the lead stands (beside the text or above it) and how tall the
  // lead's column is, from the view's own size: also when the pupil
  // resizes it.
  function fit() {
    var em = parseFloat(getComputedStyle(text).fontSize) || 16;
    text.classList.toggle('stacked', text.clientWidth < STACKED_BELOW * em);
    text.style.setProperty('--visible', text.clientHeight + 'px');
  }

  function make() {
    dialog = element('dialog');
    dialog.id = 'explanation';
    dialog.setAttribute('aria-labelledby', 'explanation-title');
    var bar = element('div', 'bar');
    var title = element('h1');
    title.id = 'explanation-title';
    var close = element('button');
    close.type = 'button';
    close.textContent = d.closeCommand;
    close.addEventListener('click', function () {
      dialog.close();
    });
    var printButton = element('button');
    printButton.type = 'button';
    printButton.textContent = d.printCommand;
    printButton.addEventListener('click', printView);
    var commands = element('div', 'commands');
    commands.append(printButton, close);
    inkStyle = element('style');
    bar.append(title, commands, inkStyle);
    text = element('div', 'text');
    text.tabIndex = 0;
    text.setAttribute('role', 'document');
    text.setAttribute('aria-label', d.explanationName);
    leadColumn = element('div', 'lead');
    restColumn = element('div', 'rest');
    text.append(leadColumn, restColumn);
    dialog.append(bar, text);
    dialog.addEventListener('keydown', function (event) {
      if (event.key === 'Escape') {
        event.preventDefault();
        dialog.close();
      } else if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === 'c' &&
                 window.getSelection().isCollapsed) {
        event.preventDefault();
        copyAll();
      } else if ((event.ctrlKey || event.metaKey) && !event.altKey && event.key.toLowerCase() === 'p') {
        event.preventDefault();
        printView();
      }
    });
    dialog.addEventListener('copy', function (event) {
      if (copyingAll !== null) {
        event.preventDefault();
        event.clipboardData.setData('text/plain', copyingAll);
      }
    });
    // Within the page's main landmark, after the window.
    (document.querySelector('main') || document.body).appendChild(dialog);
    if (typeof ResizeObserver === 'function') {
      var size = null;
      new ResizeObserver(function () {
        var now = text.clientWidth + 'x' + text.clientHeight;
        if (now !== size && dialog.open) {
          size = now;
          fit();
          if (view && view.measureRows) {
            view.measureRows();
          }
        }
      }).observe(text);
    }
  }

  // The whole explanation to the clipboard: through the clipboard API,
  // or, where the browser refuses it, as a copy of the whole text whose
  // data the copy handler replaces with the plain text, held here meanwhile.
  var copyingAll = null;
  function copyAll() {
    var explanationText = utf8(Module._zelvane_explanation_text());
    function bySelection() {
      var selection = window.getSelection();
      var range = document.createRange();
      range.selectNodeContents(text);
      selection.removeAllRanges();
      selection.addRange(range);
      copyingAll = explanationText;
      try {
        document.execCommand('copy');
      } finally {
        copyingAll = null;
        selection.removeAllRanges();
      }
    }
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(explanationText).catch(bySelection);
    } else {
      bySelection();
    }
  }

  function clear() {
    leadColumn.replaceChildren();
    restColumn.replaceChildren();
    view = null;
  }

  // A new explanation: the old one's elements go first, so that measuring
  // the view's size lays out nothing of them, then the new one is made.
  function showNew() {
    clear();
    fit();
    render();
    if (view.measureRows) {
      requestAnimationFrame(view.measureRows);
    }
  }

  make();

  return {
    // Opens the view, or brings an open one forward. An open view already
    // explains the fraction last calculated (a Calculate updates it): the
    // pupil keeps their place in it. A closed one is filled anew, from its
    // start.
    open: function () {
      var wasOpen = dialog.open;
      var made = Module._zelvane_explain(wasOpen ? 1 : 0) === 1;
      if (made) {
        clear();  // before showing: the dialog lays out what it holds as it shows
      }
      if (!wasOpen) {
        dialog.show();
      }
      if (made) {
        showNew();
      }
      // The text has the focus, unless the pupil is already in the view.
      if (!wasOpen || !dialog.contains(document.activeElement)) {
        text.focus();
      }
    },
    // An open view follows the fraction last calculated.
    follow: function () {
      if (dialog.open && Module._zelvane_explain(1) === 1) {
        showNew();
      }
    },
  };
}
