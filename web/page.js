// The page's script, run just after the core's module has started
// compiling: binds the window's controls (drawn from the description when
// the page was built) to the core, moves field texts between the page and
// the core's form state, and shows the Add-parts flag. It holds no rule of
// the worksheet: every number is read, computed and written by the core.
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

  // The window is drawn from its markup before the core's module is even
  // read; until the module is ready, the controls ignore clicks, typing and
  // pastes (a few tens of milliseconds), and then the window shows the
  // core's state.
  function build() {
    var d = JSON.parse(document.getElementById('description').textContent);
    var form = document.getElementById('Zelvane');
    var fields = [];
    var buttons = [];

    document.title = d.caption;
    var help = document.getElementById('Text1_' + d.taskText);

    d.Command1.forEach(function (button, index) {
      var element = document.getElementById('Command1_' + index);
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
      var element = document.getElementById('Text2_' + index);
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
      fields.push(element);
    });

    // A tap (or a click) on a control's touch area, beside its box, is a
    // tap on the control: a field takes the focus, a button is clicked. The
    // press itself leaves the focus where it is.
    // Each area listens itself, so that the browser's own touch adjustment
    // counts it as a target of its own.
    Array.prototype.forEach.call(form.querySelectorAll('.touch'), function (area) {
      var control = document.getElementById(area.getAttribute('data-for'));
      area.addEventListener('mousedown', function (event) {
        event.preventDefault();
      });
      area.addEventListener('click', function () {
        if (control.tagName === 'BUTTON') {
          control.click();  // does nothing while disabled
        } else {
          control.focus();
        }
      });
    });

    // On a touch screen the number fields bring up a keyboard of digits
    // (with the decimal separator); a double tap on one, or on its label,
    // brings up the full keyboard instead, until the field loses the focus.
    var DOUBLE_TAP_MS = 400;
    var DOUBLE_TAP_PX = 24;
    var lastTap = null;
    var switching = false;
    function fullKeyboard(element) {
      if (element.inputMode === 'text') {
        return;
      }
      element.inputMode = 'text';
      // A keyboard already shown changes once the field is focused anew.
      switching = true;
      try {
        element.blur();
        element.focus();
      } finally {
        switching = false;
      }
    }
    form.addEventListener('touchend', function (event) {
      if (event.touches.length > 0 || event.changedTouches.length !== 1) {
        return;
      }
      var target = event.target.control ||
        (event.target.classList.contains('touch') ? document.getElementById(event.target.getAttribute('data-for')) :
         event.target);
      var index = fields.indexOf(target);
      if (index < 0 || !d.Text2[index].numberKeyboard) {
        lastTap = null;
        return;
      }
      var touch = event.changedTouches[0];
      var tap = { target: target, time: event.timeStamp, x: touch.clientX, y: touch.clientY };
      if (lastTap && lastTap.target === target && tap.time - lastTap.time < DOUBLE_TAP_MS &&
          Math.abs(tap.x - lastTap.x) < DOUBLE_TAP_PX && Math.abs(tap.y - lastTap.y) < DOUBLE_TAP_PX) {
        lastTap = null;
        fullKeyboard(target);
      } else {
        lastTap = tap;
      }
    });
    fields.forEach(function (element, index) {
      if (d.Text2[index].numberKeyboard) {
        var numbers = element.inputMode;  // as the window's markup has it
        element.addEventListener('blur', function () {
          if (!switching) {
            element.inputMode = numbers;
          }
        });
      }
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

    // The explain view (explain_view.js), made when first opened. F1 opens
    // it, and so does the button below the window (for touch screens); it
    // is not modal, Esc closes it, and Ctrl+C with nothing selected copies
    // all of it.
    var explanation = null;

    function openExplanation() {
      if (!explanation) {
        explanation = zelvaneExplainView(Module, d);
      }
      explanation.open();
    }

    // An open explanation follows the fraction last calculated.
    function followCalculation() {
      if (explanation) {
        explanation.follow();
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

    explainButton.hidden = false;
    fitToScreen();
    help.setSelectionRange(0, 0);
    help.focus();
    help.scrollTop = 0;
    performance.mark('zelvane-built');

    // The module is ready: the core's Load, any text that reached a field
    // meanwhile through its rule, and the window shows the core's state.
    return function connect() {
      Module._zelvane_load();
      fields.forEach(function (element, index) {
        element.readOnly = d.Text2[index].readOnly;
      });
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

  // This script runs after the page's elements exist, while the module
  // compiles.
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
