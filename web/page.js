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

  // Field texts cross as UTF-8 through the core's memory.
  function coreText(index) {
    return Module.UTF8ToString(Module._zelvane_text(index));
  }

  function setCoreText(index, text) {
    var size = Module.lengthBytesUTF8(text) + 1;
    var buffer = Module._malloc(size);
    Module.stringToUTF8(text, buffer, size);
    Module._zelvane_set_text(index, buffer);
    Module._free(buffer);
  }

  function start() {
    var d = JSON.parse(Module.UTF8ToString(Module._zelvane_description()));
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
    var quotation = d.Text1[d.quotation].text.replace(/\r\n/g, '\n').trim();
    var help = document.createElement('textarea');
    help.id = 'Text1_' + d.taskText;
    help.readOnly = true;
    help.tabIndex = task.tabIndex + 1;
    help.spellcheck = false;
    help.value = task.text.replace(/\r\n/g, '\n');
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
        Module._zelvane_click(index);
        show();
      });
      form.appendChild(element);
      buttons.push(element);
    });

    d.Text2.forEach(function (field, index) {
      var element = document.createElement('input');
      element.type = 'text';
      element.id = 'Text2_' + index;
      element.tabIndex = field.tabIndex + 1;
      element.readOnly = field.readOnly;
      if (field.maxLength > 0) {
        element.maxLength = field.maxLength;
      }
      element.autocomplete = 'off';
      element.spellcheck = false;
      element.setAttribute('autocapitalize', 'off');
      placeAt(element, field);
      element.addEventListener('input', function () {
        setCoreText(index, element.value);
      });
      element.addEventListener('keydown', function (event) {
        if (event.key === 'Enter' && !event.isComposing && field.enterClicks >= 0) {
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
        if (element.value !== text) {
          element.value = text;
          element.setSelectionRange(0, 0);
          element.scrollLeft = 0;
        }
      });
      buttons.forEach(function (element, index) {
        element.disabled = !Module._zelvane_enabled(index);
      });
    }

    // On a screen narrower than the window, the whole window is scaled down.
    var fit = document.getElementById('fit');
    function fitToScreen() {
      var scale = Math.min(1, document.documentElement.clientWidth / d.widthPx);
      form.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
      fit.style.width = d.widthPx * scale + 'px';
      fit.style.height = d.heightPx * scale + 'px';
    }
    window.addEventListener('resize', fitToScreen);

    Module._zelvane_load();
    show();
    form.hidden = false;
    fitToScreen();
    help.setSelectionRange(0, 0);
    help.focus();
    help.scrollTop = 0;
    ready = true;
    performance.mark('zelvane-ready');
  }

  // This script runs after the page's elements exist.
  if (typeof WebAssembly !== 'object') {
    showFailure();
  }
  Module.onAbort = showFailure;
  Module.onRuntimeInitialized = function () {
    try {
      start();
    } catch (error) {
      showFailure();
      throw error;
    }
  };
})();
