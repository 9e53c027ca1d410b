// ---------------------------------------------------------------------------
// Views: every widget registers an update function on its parameter.
// ---------------------------------------------------------------------------
function changed(p) {
  p.views.forEach(function (fn) { fn(); });
  if (p.name === 'Mode') applyMode();
  if (p.name === 'BAX Stereo Mode' || p.name === 'BAX Link') refreshShelfCaptions();
  scheduleCurve();
}

function applyMode() {
  var m = plain('Mode', 0) >= 0.5 ? 1 : 0;
  document.body.className = 'mode-' + m;
}

// Pointer, wheel and key handling shared by knobs and choice selectors.
function attachStepping(target, p, opts) {
  target.tabIndex = 0;
  target.setAttribute('aria-label', p.name);
  var wheelAcc = { rest: 0 };
  target.addEventListener('wheel', function (e) {
    e.preventDefault();
    var steps = wheelSteps(e);
    if (!steps) return;
    var n = wheelMove(p, wheelAcc, steps, e.shiftKey);
    // A movement too small for a step opens no gesture, but keeps an open one alive.
    if (n !== p.norm || gIdleEnds[p.id] !== undefined) touchEdit(p, n, 350);
  }, { passive: false });
  target.addEventListener('keydown', function (e) {
    var dir = 0, mode = e.shiftKey ? 'fine' : 'coarse';
    switch (e.key) {
      case 'ArrowUp': case 'ArrowRight': dir = 1; break;
      case 'ArrowDown': case 'ArrowLeft': dir = -1; break;
      case 'PageUp': dir = 1; mode = 'page'; break;
      case 'PageDown': dir = -1; mode = 'page'; break;
      case 'Home': e.preventDefault(); editOnce(p, 0); return;
      case 'End': e.preventDefault(); editOnce(p, 1); return;
      case 'Delete': case 'Backspace': e.preventDefault(); editOnce(p, p.defNorm); return;
      case 'Enter': e.preventDefault(); if (opts && opts.onEnter) opts.onEnter(); return;
      default: return;
    }
    e.preventDefault();
    touchEdit(p, stepNorm(p, dir, mode), 600);
  });
  target.addEventListener('keyup', function (e) {
    if (/^(Arrow|Page)/.test(e.key)) finishIdleEdit(p);
  });
  target.addEventListener('blur', function () { finishIdleEdit(p); });
}

// One step of the wheel or the arrow keys: 1 % of the range (a fine step is
// the parameter's own step); choices always move by one entry.
function stepNorm(p, dir, mode) {
  if (p.kind !== 'float') return toNorm(p, plainOf(p) + dir * (mode === 'page' ? 2 : 1));
  var range = p.max - p.min;
  var delta = mode === 'fine' ? p.step : (mode === 'page' ? range * 0.1 : Math.max(p.step, range * 0.01));
  return toNorm(p, plainOf(p) + dir * delta);
}

function caption(text, cls) { return el('div', cls || 'cap', text); }

// Rotary knob, dragged vertically: 250 px for the whole range, ten times
// finer with Shift held.
var kKnobSizes = { xxl: 74, xl: 68, l: 58, m: 46, s: 32, xs: 24 };
function knob(p, opts) {
  opts = opts || {};
  var size = kKnobSizes[opts.size || 'm'];
  var root = el('div', 'knob ' + (opts.size || 'm') + (opts.inline ? ' inline' : ''));
  root.dataset.param = p.name;
  var cap = caption(opts.caption !== undefined ? opts.caption : p.name);
  cap.title = p.name;
  var pad = size < 30 ? 5 : 6, full = size + pad * 2, c = full / 2, r = size / 2;
  var s = svg('svg', { width: full, height: full, viewBox: '0 0 ' + full + ' ' + full, 'class': 'knob-svg' });
  var gradId = 'kg' + p.id + '_' + Math.random().toString(36).slice(2, 7);
  var defs = svg('defs', {});
  var grad = svg('radialGradient', { id: gradId, cx: '38%', cy: '30%', r: '75%' });
  grad.appendChild(svg('stop', { offset: '0%', 'stop-color': '#5a5e65' }));
  grad.appendChild(svg('stop', { offset: '55%', 'stop-color': '#2c2f34' }));
  grad.appendChild(svg('stop', { offset: '100%', 'stop-color': '#17181b' }));
  defs.appendChild(grad);
  s.appendChild(defs);
  for (var t = 0; t <= 10; t++) {
    var a = (-135 + t * 27) * Math.PI / 180;
    var r1 = r + 1.5, r2 = r + (t % 5 === 0 ? 5.5 : 3.5);
    s.appendChild(svg('line', { x1: c + r1 * Math.sin(a), y1: c - r1 * Math.cos(a), x2: c + r2 * Math.sin(a), y2: c - r2 * Math.cos(a),
      stroke: '#6d6a63', 'stroke-width': 1 }));
  }
  var ar = r - 3;
  s.appendChild(svg('path', { d: arcPath(c, ar, -135, 135), stroke: '#0b0c0e', 'stroke-width': 3.5, fill: 'none', 'stroke-linecap': 'round' }));
  var arc = svg('path', { d: '', stroke: '#ffb347', 'stroke-width': 2.5, fill: 'none', 'stroke-linecap': 'round' });
  s.appendChild(arc);
  s.appendChild(svg('circle', { cx: c, cy: c + 1, r: r - 6, fill: '#000', opacity: 0.5 }));
  s.appendChild(svg('circle', { cx: c, cy: c, r: r - 6, fill: 'url(#' + gradId + ')', stroke: '#0a0a0b', 'stroke-width': 1 }));
  s.appendChild(svg('circle', { cx: c, cy: c, r: r - 9, fill: 'none', stroke: 'rgba(255,255,255,0.07)', 'stroke-width': 1 }));
  var pointer = svg('line', { x1: c, y1: c - (r - 8), x2: c, y2: c - r * 0.28, stroke: '#f3ead7', 'stroke-width': size > 40 ? 2.5 : 2, 'stroke-linecap': 'round' });
  s.appendChild(pointer);
  var readout = el('div', 'readout');
  readout.dataset.role = 'readout';
  root.appendChild(cap);
  if (opts.ends) {
    // Labels at the two ends of the arc, for knobs whose range reads backwards.
    var dial = el('div', 'dial');
    dial.appendChild(s);
    dial.appendChild(el('span', 'end lo', opts.ends[0]));
    dial.appendChild(el('span', 'end hi', opts.ends[1]));
    root.appendChild(dial);
  } else {
    root.appendChild(s);
  }
  root.appendChild(readout);

  // The arc starts at zero for ranges that cross it, at the centre for gains
  // whose unity is mid-range, otherwise at the minimum.
  var origin = opts.centre ? 0.5 : p.min < 0 && p.max > 0 ? toNorm(p, 0) : 0;
  function update() {
    var n = p.norm;
    var ang = -135 + n * 270;
    pointer.setAttribute('transform', 'rotate(' + ang + ' ' + c + ' ' + c + ')');
    var a0 = -135 + origin * 270;
    arc.setAttribute('d', Math.abs(ang - a0) < 0.5 ? '' : arcPath(c, ar, Math.min(a0, ang), Math.max(a0, ang)));
    readout.textContent = displayText(p);
    var db = gainDbText(p);
    if (db) {
      // The dB follows the % in the same box, a little dimmer: the % is the parameter's own value.
      var dbText = el('span', 'db', '\u00a0' + db);
      dbText.style.fontSize = '0.82em';
      dbText.style.opacity = '0.8';
      readout.appendChild(dbText);
    }
    root.setAttribute('aria-valuetext', displayText(p) + (db ? ', ' + db : ''));
  }
  p.views.push(update);
  gainDbInputs(p).forEach(function (name) { var q = param(name); if (q) q.views.push(update); });
  update();

  var drag = null;
  s.addEventListener('pointerdown', function (e) {
    if (e.button !== 0) return;
    e.preventDefault();
    s.focus();
    if (e.ctrlKey || e.altKey || e.metaKey) { editOnce(p, p.defNorm); return; }
    s.setPointerCapture(e.pointerId);
    drag = { y: e.clientY, acc: p.norm };
  });
  s.addEventListener('pointermove', function (e) {
    if (!drag) return;
    var dy = drag.y - e.clientY;
    drag.y = e.clientY;
    if (!dy) return;
    drag.acc = clamp(drag.acc + dy / (e.shiftKey ? 2500 : 250), 0, 1);
    var n = snapNorm(p, drag.acc);
    if (n !== p.norm) setEdit(p, n);
  });
  function stop() { if (drag) { drag = null; endEdit(p); } }
  s.addEventListener('pointerup', stop);
  s.addEventListener('pointercancel', stop);
  s.addEventListener('lostpointercapture', stop);
  s.addEventListener('dblclick', function (e) { e.preventDefault(); editOnce(p, p.defNorm); });
  attachStepping(s, p, { onEnter: function () { openEntry(p, readout, s); } });
  s.setAttribute('role', 'slider');
  readout.addEventListener('click', function () { openEntry(p, readout, s); });
  return root;
}

function arcPath(c, r, fromDeg, toDeg) {
  var a0 = fromDeg * Math.PI / 180, a1 = toDeg * Math.PI / 180;
  var large = toDeg - fromDeg > 180 ? 1 : 0;
  return 'M ' + (c + r * Math.sin(a0)).toFixed(2) + ' ' + (c - r * Math.cos(a0)).toFixed(2) +
    ' A ' + r + ' ' + r + ' 0 ' + large + ' 1 ' + (c + r * Math.sin(a1)).toFixed(2) + ' ' + (c - r * Math.cos(a1)).toFixed(2);
}

// Text entry over a value: Enter or leaving the field applies, Escape cancels.
// Text that fits no unit of the control is refused with a message saying
// what the control takes; Enter then keeps the field open to correct it.
var gEntry = null;
function openEntry(p, anchor, focusBack, initial) {
  closeEntry(false);
  var root = document.getElementById('root');
  var box = unscaled(anchor.getBoundingClientRect()), rb = unscaled(root.getBoundingClientRect());
  var input = el('input', 'entry');
  input.type = 'text';
  input.value = initial !== undefined ? initial : displayText(p).replace(/\s*(%|dB)$/, '');
  input.setAttribute('aria-label', p.name);
  // As wide as the read-out (never wider than 60 px), so it covers no neighbour.
  var w = Math.max(box.width, Math.min(60, box.width + 8));
  var left = box.left - rb.left + box.width / 2 - w / 2, top = box.top - rb.top - 1;
  input.style.left = left + 'px';
  input.style.top = top + 'px';
  input.style.width = w + 'px';
  gEntry = { p: p, input: input, focusBack: focusBack, left: left, top: top + box.height + 4 };
  root.appendChild(input);
  input.focus();
  if (initial === undefined) input.select();
  input.addEventListener('keydown', function (e) {
    if (e.key === 'Enter') { e.preventDefault(); closeEntry(true, true); }
    else if (e.key === 'Escape') { e.preventDefault(); closeEntry(false); }
    e.stopPropagation();
  });
  input.addEventListener('input', hideEntryError);
  input.addEventListener('blur', function () { closeEntry(true); });
}
// Applies (or drops) the typed value. Returns false when the text was refused
// and the field stays open (keepOnError).
function closeEntry(apply, keepOnError) {
  if (!gEntry) return true;
  var entry = gEntry;
  if (apply) {
    var n = parseEntry(entry.p, entry.input.value);
    var typed = entry.input.value.trim();
    if (n === null && typed !== '') {
      showEntryError(entry, '"' + typed + '" is not a value for ' + entry.p.name + '. ' + entryHint(entry.p) + '.');
      if (keepOnError) { entry.input.select(); return false; }
    } else {
      hideEntryError();
    }
    gEntry = null;
    if (n !== null) editOnce(entry.p, n);
  } else {
    gEntry = null;
    hideEntryError();
  }
  var hadFocus = document.activeElement === entry.input;
  if (entry.input.parentNode) entry.input.parentNode.removeChild(entry.input);
  if (hadFocus && entry.focusBack) entry.focusBack.focus();
  return true;
}
var gEntryErrorTimer;
function showEntryError(entry, text) {
  var box = document.getElementById('entry-error');
  if (!box) {
    box = el('div', 'entry-error');
    box.id = 'entry-error';
    box.setAttribute('role', 'alert');
    var st = box.style;
    st.position = 'absolute'; st.zIndex = '60'; st.maxWidth = '320px'; st.padding = '4px 7px';
    st.background = '#2a0f0f'; st.color = '#ffd2c8'; st.border = '1px solid #d9534f'; st.borderRadius = '3px';
    st.font = '11px/1.35 sans-serif'; st.pointerEvents = 'none';
    document.getElementById('root').appendChild(box);
  }
  box.textContent = text;
  box.style.display = 'block';
  box.style.left = clamp(entry.left, 4, 1196 - 320) + 'px';
  box.style.top = (entry.top > 520 ? entry.top - 60 : entry.top) + 'px';
  clearTimeout(gEntryErrorTimer);
  gEntryErrorTimer = setTimeout(hideEntryError, 4000);
}
function hideEntryError() {
  var box = document.getElementById('entry-error');
  if (box) box.style.display = 'none';
}

// Choice selector: the current text in a display; a click opens the list.
function selector(p, opts) {
  opts = opts || {};
  var root = el('div', 'choice');
  root.dataset.param = p.name;
  var cap = caption(opts.caption !== undefined ? opts.caption : p.name);
  cap.title = p.name;
  var box = el('div', 'select');
  box.dataset.role = 'select';
  box.setAttribute('role', 'combobox');
  if (opts.width) box.style.minWidth = opts.width + 'px';
  if (!opts.noCaption) root.appendChild(cap);
  root.appendChild(box);
  function update() {
    var t = withUnit(p, displayText(p));
    box.textContent = t[0];
    if (t[1]) box.appendChild(el('span', 'unit', '\u2009' + t[1]));
  }
  p.views.push(update);
  update();
  function open() { openMenu(box, p); }
  box.addEventListener('click', open);
  attachStepping(box, p, { onEnter: open });
  // Typing a digit or a letter starts a typed value ("1k", "OFF").
  box.addEventListener('keydown', function (e) {
    if (e.ctrlKey || e.metaKey || e.altKey || e.key.length !== 1 || !/[0-9a-z.]/i.test(e.key)) return;
    e.preventDefault();
    closeMenu();
    openEntry(p, box, box, e.key);
  });
  return root;
}

// A choice's number and unit as shown: "10k" with unit "Hz" reads "10 kHz".
function withUnit(p, text) {
  if (!p.unit || !/^[\d.]+k?$/.test(text)) return [text, ''];
  return /k$/.test(text) ? [text.slice(0, -1), 'k' + p.unit] : [text, p.unit];
}

// Segmented buttons for short lists of choices.
function segmented(p, opts) {
  opts = opts || {};
  var root = el('div', 'choice');
  root.dataset.param = p.name;
  if (opts.caption !== null) {
    var cap = caption(opts.caption !== undefined ? opts.caption : p.name + (p.unit ? ' (' + p.unit + ')' : ''));
    cap.title = p.name;
    root.appendChild(cap);
  }
  var seg = el('div', 'seg' + (opts.big ? ' big' : ''));
  seg.dataset.role = 'seg';
  seg.setAttribute('role', 'radiogroup');
  var buttons = [];
  for (var i = 0; i < p.count; i++) {
    (function (i) {
      var b = el('div', '', displayText(p, p.count > 1 ? i / (p.count - 1) : 0));
      b.setAttribute('role', 'radio');
      b.addEventListener('click', function () { seg.focus(); if (i !== indexOf(p)) editOnce(p, toNorm(p, p.min + i)); });
      buttons.push(b);
      seg.appendChild(b);
    })(i);
  }
  root.appendChild(seg);
  function update() {
    var cur = indexOf(p);
    buttons.forEach(function (b, i) { b.className = i === cur ? 'on' : ''; b.setAttribute('aria-checked', String(i === cur)); });
  }
  p.views.push(update);
  update();
  attachStepping(seg, p);
  return root;
}

// Two-state switch: a lit key that shows the current display text.
function toggle(p, opts) {
  opts = opts || {};
  var root = el('div', 'switch' + (opts.wide ? ' wide' : ''));
  root.dataset.param = p.name;
  root.tabIndex = 0;
  root.setAttribute('role', 'switch');
  root.setAttribute('aria-label', p.name);
  if (opts.title) root.title = opts.title;
  if (opts.caption !== null) {
    var cap = caption(opts.caption !== undefined ? opts.caption : p.name);
    cap.title = p.name;
    root.appendChild(cap);
  }
  var key = el('div', 'key' + (opts.alarm ? ' alarm' : ''));
  key.dataset.role = 'switch';
  var led = el('span', 'led');
  var text = el('span', '');
  var state = el('span', 'state');
  key.appendChild(led);
  key.appendChild(text);
  if (opts.keyText) key.appendChild(state);
  root.appendChild(key);
  function update() {
    var on = indexOf(p) >= 1;
    key.classList.toggle('on', on);
    text.textContent = opts.keyText || displayText(p);
    state.textContent = displayText(p);
    root.setAttribute('aria-checked', String(on));
  }
  p.views.push(update);
  update();
  function flip() { editOnce(p, indexOf(p) >= 1 ? 0 : 1); }
  key.addEventListener('click', function () { root.focus(); flip(); });
  root.addEventListener('keydown', function (e) {
    if (e.key === 'Enter') { e.preventDefault(); flip(); }
    else if (e.key === 'ArrowUp' || e.key === 'ArrowRight') { e.preventDefault(); if (indexOf(p) < 1) editOnce(p, 1); }
    else if (e.key === 'ArrowDown' || e.key === 'ArrowLeft') { e.preventDefault(); if (indexOf(p) >= 1) editOnce(p, 0); }
  });
  return root;
}

// Band listen button for one band: lit while that band is heard alone.
var kHeadphones = 'M2 9 V7 a5 5 0 0 1 10 0 V9 M1.5 8.5 h2.5 v4 h-2.5 z M10 8.5 h2.5 v4 h-2.5 z';
function listenButton(bandText) {
  var p = param('Band Listen');
  if (!p || !p.texts) return null;
  var value = p.texts.indexOf(bandText);
  if (value < 1) return null;
  var b = el('div', 'key listen');
  b.dataset.role = 'listen';
  b.dataset.band = bandText;
  b.title = 'Band Listen: ' + bandText;
  b.tabIndex = 0;
  b.setAttribute('role', 'switch');
  var icon = svg('svg', { viewBox: '0 0 14 14' });
  icon.appendChild(svg('path', { d: kHeadphones, fill: 'none', stroke: 'currentColor', 'stroke-width': 1.4 }));
  b.appendChild(el('span', 'led'));
  b.appendChild(icon);
  b.appendChild(el('span', '', 'LISTEN'));
  function update() {
    var on = indexOf(p) === value;
    b.classList.toggle('on', on);
    b.setAttribute('aria-checked', String(on));
  }
  p.views.push(update);
  update();
  function flip() { editOnce(p, toNorm(p, p.min + (indexOf(p) === value ? 0 : value))); }
  b.addEventListener('click', flip);
  b.addEventListener('keydown', function (e) { if (e.key === 'Enter') { e.preventDefault(); flip(); } });
  return b;
}

// ---------------------------------------------------------------------------
// Menu for choice selectors
// ---------------------------------------------------------------------------
var gMenu = null;
function openMenu(anchor, p) {
  var texts = [];
  for (var i = 0; i < p.count; i++) texts.push(withUnit(p, displayText(p, p.count > 1 ? i / (p.count - 1) : 0)).join(' ').trim());
  openList(anchor, texts, indexOf(p), function (i) { if (i !== indexOf(p)) editOnce(p, toNorm(p, p.min + i)); });
}
// Positions read from the screen, in the page's own 1200 x 560 units.
function unscaled(r) {
  return { left: r.left / gScale, top: r.top / gScale, right: r.right / gScale, bottom: r.bottom / gScale,
    width: r.width / gScale, height: r.height / gScale };
}
function openList(anchor, texts, cur, onPick) {
  var menu = document.getElementById('menu');
  closeMenu();
  menu.textContent = '';
  var hot = cur;
  var items = [];
  for (var i = 0; i < texts.length; i++) {
    (function (i) {
      var it = el('div', i === cur ? 'cur' : '', texts[i]);
      it.setAttribute('role', 'option');
      it.addEventListener('pointerenter', function () { setHot(i); });
      it.addEventListener('click', function (e) { e.stopPropagation(); pick(i); });
      items.push(it);
      menu.appendChild(it);
    })(i);
  }
  function setHot(i) { hot = i; items.forEach(function (it, k) { it.classList.toggle('hot', k === i); }); }
  function pick(i) { closeMenu(); onPick(i); anchor.focus(); }
  setHot(cur);
  var root = unscaled(document.getElementById('root').getBoundingClientRect());
  var r = unscaled(anchor.getBoundingClientRect());
  menu.style.display = 'block';
  menu.style.minWidth = Math.max(80, r.width) + 'px';
  var h = menu.offsetHeight, w = menu.offsetWidth;
  var top = r.bottom - root.top + 2;
  if (top + h > 556) top = Math.max(4, r.top - root.top - h - 2);
  menu.style.top = top + 'px';
  menu.style.left = clamp(r.left - root.left, 4, 1196 - w) + 'px';
  gMenu = {
    key: function (e) {
      if (e.key === 'ArrowDown') setHot(Math.min(items.length - 1, hot + 1));
      else if (e.key === 'ArrowUp') setHot(Math.max(0, hot - 1));
      else if (e.key === 'Enter') pick(hot);
      else if (e.key === 'Escape') { closeMenu(); anchor.focus(); }
      else return false;
      return true;
    }
  };
}
function closeMenu() {
  var menu = document.getElementById('menu');
  menu.style.display = 'none';
  gMenu = null;
}
document.addEventListener('keydown', function (e) {
  if (gMenu && gMenu.key(e)) { e.preventDefault(); e.stopPropagation(); }
}, true);
document.addEventListener('pointerdown', function (e) {
  if (gMenu && !document.getElementById('menu').contains(e.target)) closeMenu();
}, true);
