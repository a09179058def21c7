// The page's script, placed before the core's loader: builds the window from
// the description the core hands over, moves field texts between the page
// and the core's form state, and shows the Add-parts flag. It holds no rule
// of the worksheet: every number is read, computed and written by the core.
'use strict';

var Module = typeof Module !== 'undefined' ? Module : {};

(function () {
  var ready = false;

  function showFailure() {
    if (ready) {
      return;
    }
    document.getElementById('Zelvane').hidden = true;
    document.getElementById('explain').hidden = true;
    document.getElementById('failure').hidden = false;
  }

  function rgb(colour) {
    return 'rgb(' + colour.join(', ') + ')';
  }

  function placeAt(element, control) {
    element.style.left = control.px[0] + 'px';
    element.style.top = control.px[1] + 'px';
    element.style.width = control.px[2] + 'px';
    element.style.height = control.px[3] + 'px';
  }

  // Field texts cross as UTF-16 code units, the units JavaScript strings
  // are made of, copied by hand: the runtime's own string helpers speak
  // UTF-8 and would join an unpaired surrogate with the next unit.
  var CHUNK = 8192;

  // Runs use(address, units) with the string's units in the core's memory,
  // and frees them again whatever happens. Null when the memory cannot be
  // had: the core then never sees the text.
  function withUnits(text, use) {
    var address = Module._malloc(text.length * 2 + 2);
    if (!address) {
      return null;
    }
    try {
      var heap = Module.HEAPU16;
      var first = address >> 1;
      for (var i = 0; i < text.length; i++) {
        heap[first + i] = text.charCodeAt(i);
      }
      return use(address, text.length);
    } finally {
      Module._free(address);
    }
  }

  // The text the core last handed back.
  function returnedText() {
    var first = Module._zelvane_returned() >> 1;
    var length = Module._zelvane_returned_length();
    var heap = Module.HEAPU16;
    var parts = [];
    for (var i = 0; i < length; i += CHUNK) {
      parts.push(String.fromCharCode.apply(null, heap.subarray(first + i, first + Math.min(length, i + CHUNK))));
    }
    return parts.join('');
  }

  // The core's text of Text2(index); null when the core cannot hand it over.
  function coreText(index) {
    return Module._zelvane_text(index) === 0 ? returnedText() : null;
  }

  // The window is drawn from the description, which the page carries, while
  // the core's module is still being compiled; until the module is ready,
  // the controls ignore clicks, typing and pastes (a few tens of
  // milliseconds), and then the window shows the core's state.
  function build() {
    var d = JSON.parse(document.getElementById('description').textContent);
    var form = document.getElementById('Zelvane');
    var fields = [];
    var buttons = [];

    document.title = d.caption;
    form.style.width = d.widthPx + 'px';
    form.style.height = d.heightPx + 'px';
    form.style.background = rgb(d.background);
    form.style.setProperty('--form-font', JSON.stringify(d.fontFamily));
    form.style.fontSize = d.fontPoints + 'pt';
    form.style.fontWeight = String(d.fontWeight);
    form.style.setProperty('--button-text', rgb(d.buttonText));
    form.style.setProperty('--unavailable', rgb(d.unavailableButton));
    form.style.setProperty('--unavailable-text', rgb(d.unavailableButtonText));

    // Which label names which field.
    var labelFor = {};
    d.Text2.forEach(function (field, index) {
      labelFor[field.label] = index;
    });

    // Help text: the task text. The quotation has no box of its own (it
    // would cover the task text); its words go with the task text.
    var task = d.Text1[d.taskText];
    var quotation = d.quotationTip;
    var help = document.createElement('textarea');
    help.id = 'Text1_' + d.taskText;
    help.readOnly = true;
    help.tabIndex = task.tabIndex + 1;
    help.spellcheck = false;
    help.value = task.shown;
    help.title = quotation;
    help.setAttribute('aria-label', d.taskTextName);
    help.setAttribute('aria-description', quotation);
    placeAt(help, task);
    form.appendChild(help);

    d.Label1.forEach(function (label, index) {
      var bound = labelFor[index];
      var element = document.createElement(bound === undefined ? 'div' : 'label');
      element.id = 'Label1_' + index;
      element.className = 'label';
      element.textContent = label.caption;
      element.style.background = rgb(d.labelBackground);
      if (bound !== undefined) {
        element.htmlFor = 'Text2_' + bound;
      }
      placeAt(element, label);
      form.appendChild(element);
    });

    d.Command1.forEach(function (button, index) {
      var element = document.createElement('button');
      element.type = 'button';
      element.id = 'Command1_' + index;
      element.textContent = button.caption;
      element.tabIndex = button.tabIndex + 1;
      element.style.setProperty('--colour', rgb(button.colour));
      placeAt(element, button);
      element.addEventListener('click', function () {
        if (!ready) {
          return;
        }
        Module._zelvane_click(index);
        show();
        followCalculation();
      });
      // Enter on a focused button clicks it, as the description says.
      element.addEventListener('keydown', function (event) {
        if (event.key === 'Enter' && (!d.enterClicksFocusedButton || !ready)) {
          event.preventDefault();
        }
      });
      form.appendChild(element);
      buttons.push(element);
    });

    // Sets a field to the text the core holds for it, caret where given.
    function showField(element, text, caret) {
      element.value = text;
      element.setSelectionRange(caret, caret);
    }

    // After any change of a field (typing, an input method, undo, a paste
    // the page let through): the core applies its rule and the field shows
    // what the core keeps.
    function edited(element, index) {
      var caret = element.selectionEnd === null ? element.value.length : element.selectionEnd;
      var result = withUnits(element.value, function (address, length) {
        return Module._zelvane_edit(index, address, length, caret);
      });
      if (result === 1) {
        showField(element, returnedText(), Module._zelvane_returned_caret());
      } else if (result !== 0) {
        // The core could not take the text: the field goes back to what it holds.
        var kept = coreText(index);
        if (kept !== null) {
          showField(element, kept, kept.length);
        }
      }
    }

    // Text about to be inserted: the part the core's rule keeps goes in as
    // one edit (so the browser can undo it); nothing when nothing changes.
    function insert(element, index, text) {
      var from = element.selectionStart;
      var to = element.selectionEnd;
      var result = withUnits(text, function (address, length) {
        return Module._zelvane_insertion(index, from, to, address, length);
      });
      if (result !== 0) {
        return;  // refused: the field stays as it is
      }
      var kept = returnedText();
      if (kept === '' && from === to) {
        return;
      }
      if (!document.execCommand('insertText', false, kept)) {
        element.setRangeText(kept, from, to, 'end');
        edited(element, index);
      }
    }

    d.Text2.forEach(function (field, index) {
      var element = document.createElement('input');
      element.type = 'text';
      element.id = 'Text2_' + index;
      element.tabIndex = field.tabIndex + 1;
      element.readOnly = field.readOnly;
      element.autocomplete = 'off';
      element.spellcheck = false;
      element.setAttribute('autocapitalize', 'off');
      placeAt(element, field);
      // A paste arrives with its line ends, which the field's own handling
      // would turn into blanks before the core sees them.
      element.addEventListener('paste', function (event) {
        event.preventDefault();
        if (ready && !element.readOnly && event.clipboardData) {
          insert(element, index, event.clipboardData.getData('text/plain'));
        }
      });
      // Typing: a character that does not fit is refused before it shows.
      element.addEventListener('beforeinput', function (event) {
        if (!ready) {
          event.preventDefault();
        } else if (event.inputType === 'insertText' && typeof event.data === 'string' && !event.isComposing) {
          var from = element.selectionStart;
          var to = element.selectionEnd;
          var result = withUnits(event.data, function (address, length) {
            return Module._zelvane_insertion(index, from, to, address, length);
          });
          if (result === 0 && returnedText() !== event.data) {
            event.preventDefault();
            insert(element, index, event.data);
          }
        }
      });
      // Text fields take no drops, as a Windows edit box takes none.
      element.addEventListener('drop', function (event) {
        event.preventDefault();
      });
      element.addEventListener('input', function () {
        if (ready) {
          edited(element, index);
        }
      });
      element.addEventListener('keydown', function (event) {
        if (event.key === 'Enter' && !event.isComposing && (field.enterClicks >= 0 || !ready)) {
          event.preventDefault();
          buttons[field.enterClicks].click();  // does nothing while disabled
        }
      });
      form.appendChild(element);
      fields.push(element);
    });

    // Shows the form state: only fields whose text changed are rewritten,
    // so the others keep their caret; a long result shows its start.
    function show() {
      fields.forEach(function (element, index) {
        var text = coreText(index);
        if (text !== null && element.value !== text) {
          element.value = text;
          element.setSelectionRange(0, 0);
          element.scrollLeft = 0;
        }
      });
      buttons.forEach(function (element, index) {
        element.disabled = !Module._zelvane_enabled(index);
      });
    }

    // The explain view: a dialog of its own, made when first opened, with
    // the explanation of the fraction last calculated as real text. F1
    // opens it, and so does the button below the window (for touch
    // screens); it is not modal, Esc closes it, and Ctrl+C with nothing
    // selected copies all of it.
    var explanation = null;
    var explanationText = '';
    fields[d.Text2.findIndex(function (field) { return field.readOnly; })].title = d.expansionTip;

    function renderExplanation() {
      var doc = JSON.parse(Module.UTF8ToString(Module._zelvane_explanation_json()));
      explanationText = Module.UTF8ToString(Module._zelvane_explanation_text());
      explanation.querySelector('h1').textContent = doc.title;
      var parts = document.createDocumentFragment();
      doc.blocks.forEach(function (block) {
        var tag = { heading: 'h2', lines: 'pre', steps: 'pre' }[block.kind] || 'p';
        var element = document.createElement(tag);
        element.className = block.kind;
        element.textContent = block.kind === 'lines' ? block.lines.join('\n')
          : block.kind === 'steps' ? doc.steps : block.text;
        parts.appendChild(element);
      });
      var text = explanation.querySelector('.text');
      text.replaceChildren(parts);
      text.scrollTop = 0;
    }

    function makeExplanation() {
      explanation = document.createElement('dialog');
      explanation.id = 'explanation';
      explanation.setAttribute('aria-labelledby', 'explanation-title');
      var bar = document.createElement('div');
      bar.className = 'bar';
      var title = document.createElement('h1');
      title.id = 'explanation-title';
      var close = document.createElement('button');
      close.type = 'button';
      close.textContent = d.closeCommand;
      close.addEventListener('click', function () {
        explanation.close();
      });
      bar.append(title, close);
      var text = document.createElement('div');
      text.className = 'text';
      text.tabIndex = 0;
      text.setAttribute('role', 'document');
      text.setAttribute('aria-label', d.explanationName);
      explanation.append(bar, text);
      explanation.addEventListener('keydown', function (event) {
        if (event.key === 'Escape') {
          event.preventDefault();
          explanation.close();
        } else if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === 'c' &&
                   window.getSelection().isCollapsed) {
          event.preventDefault();
          copyAll(text);
        }
      });
      explanation.addEventListener('copy', function (event) {
        if (copyingAll) {
          event.preventDefault();
          event.clipboardData.setData('text/plain', explanationText);
        }
      });
      document.body.appendChild(explanation);
    }

    // The whole explanation to the clipboard: through the clipboard API,
    // or, where the browser refuses it, as a copy of the whole text whose
    // data the copy handler replaces with the plain text.
    var copyingAll = false;
    function copyAll(text) {
      function bySelection() {
        var selection = window.getSelection();
        var range = document.createRange();
        range.selectNodeContents(text);
        selection.removeAllRanges();
        selection.addRange(range);
        copyingAll = true;
        try {
          document.execCommand('copy');
        } finally {
          copyingAll = false;
          selection.removeAllRanges();
        }
      }
      if (navigator.clipboard && navigator.clipboard.writeText) {
        navigator.clipboard.writeText(explanationText).catch(bySelection);
      } else {
        bySelection();
      }
    }

    function openExplanation() {
      if (!explanation) {
        makeExplanation();
      }
      if (Module._zelvane_explain(0) === 1) {
        renderExplanation();
      }
      if (!explanation.open) {
        explanation.show();
      }
      explanation.querySelector('.text').focus();
    }

    // An open explanation follows the fraction last calculated.
    function followCalculation() {
      if (explanation && explanation.open && Module._zelvane_explain(1) === 1) {
        renderExplanation();
      }
    }

    document.addEventListener('keydown', function (event) {
      if (event.key === 'F1') {
        event.preventDefault();
        if (ready) {
          openExplanation();
        }
      }
    });
    var explainButton = document.getElementById('explain');
    explainButton.textContent = d.explainCommand;
    explainButton.addEventListener('click', function () {
      if (ready) {
        openExplanation();
      }
    });

    // On a screen narrower than the window, the whole window is scaled down.
    var fit = document.getElementById('fit');
    function fitToScreen() {
      var scale = Math.min(1, document.documentElement.clientWidth / d.widthPx);
      form.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
      fit.style.width = d.widthPx * scale + 'px';
      fit.style.height = d.heightPx * scale + 'px';
    }
    window.addEventListener('resize', fitToScreen);

    // The window as the core's Load leaves it, until the core itself runs.
    buttons.forEach(function (element, index) {
      element.disabled = !d.loaded.Command1Enabled[index];
    });
    form.hidden = false;
    explainButton.hidden = false;
    fitToScreen();
    help.setSelectionRange(0, 0);
    help.focus();
    help.scrollTop = 0;

    // The module is ready: the core's Load, any text that reached a field
    // meanwhile through its rule, and the window shows the core's state.
    return function connect() {
      Module._zelvane_load();
      fields.forEach(function (element, index) {
        if (element.value !== '') {
          edited(element, index);
        }
      });
      show();
      ready = true;
      performance.mark('zelvane-ready');
    };
  }

  // This script runs after the page's elements exist, before the module is
  // compiled.
  var connect = null;
  if (typeof WebAssembly !== 'object') {
    showFailure();
  } else {
    connect = build();
  }
  Module.onAbort = showFailure;
  Module.onRuntimeInitialized = function () {
    try {
      connect();
    } catch (error) {
      showFailure();
      throw error;
    }
  };
})();
