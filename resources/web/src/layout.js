// ---------------------------------------------------------------------------
// Layout: panels and the controls in them, by parameter name. Parameters that
// the layout does not name still get a control in the spare panel.
// ---------------------------------------------------------------------------
var kPanels = [
  { id: 'analyserPanel', title: 'ANALYSER', x: 8, y: 50, w: 696, h: 214 },
  { id: 'meterPanel', title: 'METERS', x: 712, y: 50, w: 480, h: 214 },
  { id: 'program', title: 'PROGRAM EQ', x: 8, y: 272, w: 600, h: 280, mode: 0 },
  { id: 'bax', title: 'BAXANDALL', x: 8, y: 272, w: 600, h: 280, mode: 1 },
  { id: 'tube', title: 'TUBE STAGE', x: 616, y: 272, w: 228, h: 150, mode: 0 },
  { id: 'filters', title: 'FILTERS', x: 852, y: 272, w: 340, h: 150, mode: 0 },
  { id: 'stereo', title: 'TONE & STEREO', x: 616, y: 272, w: 576, h: 150, mode: 1 },
  { id: 'pushpull', title: 'PUSH-PULL', x: 616, y: 430, w: 444, h: 122 },
  { id: 'output', title: 'OUTPUT', x: 1068, y: 430, w: 124, h: 122 }
];

// Band column of the program equaliser: amount knob, frequency choice, listen.
function bandColumn(amount, freq, listen, caption, extra) {
  var col = el('div', 'col');
  var p = param(amount);
  if (p) col.appendChild(knob(p, Object.assign({ size: 'xxl', caption: caption }, extra)));
  var f = freq && param(freq);
  if (f) col.appendChild(selector(f, { caption: 'Freq', width: 62 }));
  else if (freq !== undefined) col.appendChild(el('div', '', '')).style.height = '34px';
  var l = listen && listenButton(listen);
  if (l) col.appendChild(l);
  else col.appendChild(el('div', '', '')).style.height = '18px';
  return col;
}
function group(title, cls) {
  var g = el('div', 'group' + (cls ? ' ' + cls : ''));
  g.appendChild(el('div', 'gcap', title));
  var cells = el('div', 'cells');
  g.appendChild(cells);
  return { root: g, cells: cells };
}
function add(parent, node) { if (node) parent.appendChild(node); return node; }
function knobIf(name, opts) { var p = param(name); return p ? knob(p, opts) : null; }
function selectorIf(name, opts) { var p = param(name); return p ? selector(p, opts) : null; }
function segIf(name, opts) { var p = param(name); return p ? segmented(p, opts) : null; }
function toggleIf(name, opts) { var p = param(name); return p ? toggle(p, opts) : null; }
function line() { var l = el('div', 'line'); for (var i = 0; i < arguments.length; i++) add(l, arguments[i]); return l; }

var gShelfCaptions = [];
function refreshShelfCaptions() {
  var ms = plain('BAX Stereo Mode', 0) >= 0.5;
  var linked = plain('BAX Link', 1) >= 0.5;
  gShelfCaptions.forEach(function (c) {
    c.cap.textContent = ms ? c.ms : c.lr;
    c.root.classList.toggle('dim', c.second && linked);
    c.root.title = c.second && linked ? 'Ignored while BAX Link is on' : '';
  });
}
function shelfKnob(name, lr, ms, second) {
  var k = knobIf(name, { size: 'xl', caption: lr });
  if (k) gShelfCaptions.push({ root: k, cap: k.querySelector('.cap'), lr: lr, ms: ms, second: second });
  return k;
}

function build() {
  var root = document.getElementById('root');
  Array.prototype.slice.call(root.querySelectorAll('.panel, .entry')).forEach(function (n) { n.parentNode.removeChild(n); });
  gShelfCaptions = [];
  var panels = {};
  kPanels.forEach(function (d) {
    var pn = el('div', 'panel' + (d.mode === 0 ? ' only-0' : d.mode === 1 ? ' only-1' : ''));
    pn.id = d.id;
    pn.style.left = d.x + 'px'; pn.style.top = d.y + 'px'; pn.style.width = d.w + 'px'; pn.style.height = d.h + 'px';
    pn.appendChild(el('div', 'title', d.title));
    [[4, 4], [d.w - 11, 4], [4, d.h - 11], [d.w - 11, d.h - 11]].forEach(function (xy) {
      if (d.id === 'analyserPanel' || d.id === 'meterPanel') return;
      var sc = el('div', 'screw'); sc.style.left = xy[0] + 'px'; sc.style.top = xy[1] + 'px'; pn.appendChild(sc);
    });
    var body = el('div', 'body');
    pn.appendChild(body);
    root.appendChild(pn);
    panels[d.id] = body;
  });

  // Program equaliser
  var low = group('LOW', 'top'), mid = group('MID', 'top'), high = group('HIGH', 'top');
  low.root.style.flexGrow = 2; mid.root.style.flexGrow = 2; high.root.style.flexGrow = 3;
  add(low.cells, bandColumn('Low Boost', 'Low Boost Freq', 'Low Boost', 'Boost'));
  add(low.cells, bandColumn('Low Cut', 'Low Cut Freq', 'Low Cut', 'Cut'));
  add(mid.cells, bandColumn('Mid Boost', 'Mid Boost Freq', 'Mid Boost', 'Boost'));
  add(mid.cells, bandColumn('Mid Cut', 'Mid Cut Freq', 'Mid Cut', 'Cut'));
  add(high.cells, bandColumn('High Boost', 'High Boost Freq', 'High Boost', 'Boost'));
  add(high.cells, bandColumn('Bandwidth', null, null, 'Bandwidth', { ends: ['Broad', 'Sharp'] }));
  add(high.cells, bandColumn('High Cut', 'High Cut Freq', 'High Cut', 'Cut'));
  [low, mid, high].forEach(function (g) { panels.program.appendChild(g.root); });

  // Tube stage
  var tubeKnobs = el('div', 'line');
  add(tubeKnobs, knobIf('Input', { size: 'l', caption: 'Input (Drive)', centre: true }));
  add(tubeKnobs, knobIf('Dynamic Tube', { size: 'm' }));
  var tubeSwitches = el('div', 'col');
  tubeSwitches.style.justifyContent = 'center';
  add(tubeSwitches, toggleIf('Clean'));
  add(tubeSwitches, toggleIf('HQ Oversample', { caption: 'Oversample' }));
  tubeKnobs.style.flex = '1';
  panels.tube.appendChild(tubeKnobs);
  panels.tube.appendChild(tubeSwitches);

  // LF and HF filters
  var fl = group('', 'rows');
  fl.root.removeChild(fl.root.firstChild);
  add(fl.cells, line(
    selectorIf('LF Filter', { caption: 'LF Filter (HP)', width: 58 }),
    segIf('LF Slope', { caption: 'Slope (dB/oct)' }),
    knobIf('LF Reso', { size: 'xs', caption: 'Reso', inline: true })));
  add(fl.cells, line(
    selectorIf('HF Filter', { caption: 'HF Filter (LP)', width: 58 }),
    segIf('HF Slope', { caption: 'Slope (dB/oct)' }),
    knobIf('HF Reso', { size: 'xs', caption: 'Reso', inline: true })));
  panels.filters.appendChild(fl.root);

  // Baxandall section
  var bl = group('LOW'), bh = group('HIGH'), bd = group('DYNAMICS');
  bl.root.style.flexGrow = 3; bh.root.style.flexGrow = 3; bd.root.style.flexGrow = 1.6;
  var blc = el('div', 'col');
  add(blc, selectorIf('BAX Lo Cut', { caption: 'Lo Cut', width: 62 }));
  add(blc, selectorIf('BAX Lo Shelf Freq', { caption: 'Shelf Freq', width: 62 }));
  add(blc, listenButton('Lo Shelf'));
  add(bl.cells, blc);
  add(bl.cells, shelfKnob('BAX Lo Shelf L', 'Lo Shelf L', 'Lo Shelf M', false));
  add(bl.cells, shelfKnob('BAX Lo Shelf R', 'Lo Shelf R', 'Lo Shelf S', true));
  var bhc = el('div', 'col');
  add(bhc, selectorIf('BAX Hi Cut', { caption: 'Hi Cut', width: 62 }));
  add(bhc, selectorIf('BAX Hi Shelf Freq', { caption: 'Shelf Freq', width: 62 }));
  add(bhc, listenButton('Hi Shelf'));
  add(bh.cells, shelfKnob('BAX Hi Shelf L', 'Hi Shelf L', 'Hi Shelf M', false));
  add(bh.cells, shelfKnob('BAX Hi Shelf R', 'Hi Shelf R', 'Hi Shelf S', true));
  add(bh.cells, bhc);
  var bdc = el('div', 'col');
  bdc.style.gap = '10px';
  add(bdc, knobIf('BAX Dynamic', { size: 'xl', caption: 'Dynamic' }));
  add(bdc, toggleIf('BAX Link', { caption: 'Link', wide: true }));
  add(bd.cells, bdc);
  [bl, bh, bd].forEach(function (g) { panels.bax.appendChild(g.root); });

  // Tone and stereo (Baxandall mode)
  var tone = group('TONE'), image = group('STEREO IMAGE');
  image.root.style.flexGrow = 3;
  add(tone.cells, knobIf('Tilt', { size: 'm' }));
  add(image.cells, toggleIf('BAX Stereo Mode', { caption: 'Stereo Mode', wide: true }));
  add(image.cells, knobIf('Width', { size: 'm' }));
  add(image.cells, selectorIf('Bass Mono', { width: 66 }));
  panels.stereo.appendChild(tone.root);
  panels.stereo.appendChild(image.root);

  // Push-pull: the depths shown are those of the bands of the current mode.
  var pp = el('div', 'line');
  pp.style.flex = '1';
  add(pp, knobIf('Push-Pull', { size: 'm' }));
  add(pp, knobIf('Push-Pull Speed', { size: 'm', caption: 'Speed' }));
  add(pp, knobIf('Push-Pull Pivot', { size: 'm', caption: 'Pivot' }));
  var depths = el('div', 'group');
  depths.style.flex = '1.9';
  depths.appendChild(el('div', 'gcap', 'BAND DEPTH'));
  var d0 = el('div', 'cells only-0'), d1 = el('div', 'cells only-1');
  [['PP Low Boost', 'LB'], ['PP Low Cut', 'LC'], ['PP Mid Boost', 'MB'], ['PP Mid Cut', 'MC'], ['PP High Boost', 'HB'], ['PP High Cut', 'HC']]
    .forEach(function (d) { add(d0, knobIf(d[0], { size: 's', caption: d[1] })); });
  [['PP BAX Lo', 'Lo Shelf'], ['PP BAX Hi', 'Hi Shelf']].forEach(function (d) { add(d1, knobIf(d[0], { size: 's', caption: d[1] })); });
  depths.appendChild(d0);
  depths.appendChild(d1);
  panels.pushpull.appendChild(pp);
  panels.pushpull.appendChild(depths);

  loudnessReset(panels.meterPanel.parentNode);

  add(panels.output, knobIf('Output', { size: 'l', caption: '', centre: true }));
  panels.output.style.justifyContent = 'center';

  buildHeader();

  // Anything the layout does not know still gets a control.
  var spare = gParams.filter(function (p) { return p && !document.querySelector('[data-param="' + cssName(p.name) + '"]'); });
  if (spare.length) {
    var sp = el('div', 'panel');
    sp.id = 'spare';
    sp.style.left = '8px'; sp.style.top = '470px'; sp.style.width = '600px'; sp.style.height = '82px';
    sp.style.overflowX = 'auto';
    var body = el('div', 'body');
    body.style.top = '6px';
    spare.forEach(function (p) { add(body, p.kind === 'float' ? knob(p, { size: 's' }) : p.kind === 'bool' ? toggle(p) : selector(p)); });
    sp.appendChild(body);
    root.appendChild(sp);
  }
  applyMode();
  refreshShelfCaptions();
  refreshCommands();
  sizeCanvases();
  scheduleCurve();
  root.classList.add('ready');
}
function cssName(s) { return String(s).replace(/["\\]/g, '\\$&'); }

var gCommandViews = [];
function refreshCommands() { gCommandViews.forEach(function (fn) { fn(); }); }
function command(text, title, fn, cls) {
  var b = el('div', 'key' + (cls ? ' ' + cls : ''), text);
  b.title = title;
  b.tabIndex = 0;
  b.setAttribute('role', 'button');
  b.dataset.cmd = title;
  b.addEventListener('click', fn);
  b.addEventListener('keydown', function (e) { if (e.key === 'Enter') { e.preventDefault(); fn(); } });
  return b;
}

function buildHeader() {
  var h = document.getElementById('header');
  h.textContent = '';
  var brand = el('div', '');
  brand.id = 'brand';
  brand.tabIndex = 0;
  brand.title = 'Oskel Audio on the web';
  brand.setAttribute('role', 'link');
  var name = el('div', 'name');
  name.appendChild(document.createTextNode('KYR '));
  name.appendChild(el('b', '', 'EQ'));
  brand.appendChild(name);
  brand.appendChild(el('div', 'vendor', 'OSKEL AUDIO'));
  brand.addEventListener('click', openVendorSite);
  brand.addEventListener('keydown', function (e) { if (e.key === 'Enter') openVendorSite(); });
  h.appendChild(brand);
  if (!gParams.length) return;

  var modeGroup = el('div', 'hgroup');
  modeGroup.appendChild(el('span', 'hcap', 'MODE'));
  add(modeGroup, segIf('Mode', { caption: null, big: true }));
  h.appendChild(modeGroup);
  h.appendChild(el('div', 'hsep'));

  var bl = el('div', 'hgroup');
  bl.appendChild(el('span', 'hcap', 'BAND LISTEN'));
  add(bl, selectorIf('Band Listen', { noCaption: true, width: 92 }));
  add(bl, listenStop());
  h.appendChild(bl);
  h.appendChild(el('div', 'spacer'));

  var ab = el('div', 'hgroup');
  ab.id = 'abgroup';
  var slotA = command('A', 'Settings A', function () { compare.select(0); }, 'slot');
  var slotB = command('B', 'Settings B', function () { compare.select(1); }, 'slot');
  var copy = command('A\u2192B', 'Copy the active settings to the other slot', function () { compare.copy(); });
  ab.appendChild(slotA); ab.appendChild(slotB); ab.appendChild(copy);
  gCommandViews.push(function () {
    slotA.classList.toggle('on', compare.active === 0);
    slotB.classList.toggle('on', compare.active === 1);
    slotA.classList.toggle('down', compare.active === 0);
    slotB.classList.toggle('down', compare.active === 1);
    copy.textContent = compare.active === 0 ? 'A\u2192B' : 'B\u2192A';
  });
  h.appendChild(ab);
  h.appendChild(el('div', 'hsep'));

  var ur = el('div', 'hgroup');
  var undo = command('\u21B6 Undo', 'Undo', function () { edits.doUndo(); });
  var redo = command('Redo \u21B7', 'Redo', function () { edits.doRedo(); });
  var reset = command('Reset', 'Reset all parameters to their defaults', resetAll);
  ur.appendChild(undo); ur.appendChild(redo); ur.appendChild(reset);
  gCommandViews.push(function () {
    undo.classList.toggle('disabled', !edits.undo.length);
    redo.classList.toggle('disabled', !edits.redo.length);
  });
  h.appendChild(ur);
  h.appendChild(el('div', 'hsep'));

  var sz = el('div', 'hgroup');
  sz.appendChild(el('span', 'hcap', 'SIZE'));
  sz.appendChild(sizeMenuButton());
  h.appendChild(sz);
  h.appendChild(el('div', 'hsep'));

  var sw = el('div', 'hgroup');
  var agm = toggleIf('Auto Gain Match', { caption: null, keyText: 'Gain Match' });
  var byp = toggleIf('Bypass', { caption: null, keyText: 'Bypass EQ', alarm: true,
    title: 'Bypass: bypasses the EQ kernel; the LF/HF filters and the gain match stay in' });
  add(sw, agm);
  add(sw, byp);
  h.appendChild(sw);
}

// Editor size: the page is laid out at 1200 x 560 and scaled as a whole. A
// chosen size goes to the plug-in, which resizes the view and answers with the
// size in force; only that answer scales the page.
var kScales = kPageData.protocol.editorScales;
var gScale = 1;
function scaleText(s) { return Math.round(s * 100) + ' %'; }
function acceptEditorScale(m) {
  if (!m || typeof m !== 'object' || m.t !== 'size' || kScales.indexOf(m.scale) < 0) return false;
  closeMenu(); closeEntry(false);
  gScale = m.scale;
  var root = document.getElementById('root');
  root.style.transform = gScale === 1 ? '' : 'scale(' + gScale + ')';
  [document.documentElement, document.body].forEach(function (n) {
    n.style.width = gScale === 1 ? '' : Math.round(1200 * gScale) + 'px';
    n.style.height = gScale === 1 ? '' : Math.round(560 * gScale) + 'px';
  });
  refreshCommands();
  sizeCanvases();
  return true;
}
function askEditorScale(s) {
  postArbitrary(kMsgTag.editorSize, btoa(JSON.stringify({ scale: s })));
}
function sizeMenuButton() {
  var b = command(scaleText(gScale), 'Editor size', function () {
    openList(b, kScales.map(scaleText), kScales.indexOf(gScale), function (i) { if (kScales[i] !== gScale) askEditorScale(kScales[i]); });
  }, 'size');
  gCommandViews.push(function () { b.textContent = scaleText(gScale); });
  return b;
}

// Band Listen engaged shows in the header in every mode, with a key that stops it.
function listenStop() {
  var p = param('Band Listen');
  if (!p) return null;
  var b = command('Stop', 'Stop Band Listen', function () { editOnce(p, toNorm(p, p.min)); }, 'listen on stop');
  b.insertBefore(el('span', 'led'), b.firstChild);
  function update() { b.style.display = indexOf(p) !== 0 ? '' : 'none'; }
  p.views.push(update);
  update();
  return b;
}

// The loudness reset sits over the meter canvas, under the integrated value.
function loudnessReset(panel) {
  var b = command('Reset', 'Reset the loudness measurement', resetLoudness, 'meterkey');
  b.style.left = '114px'; b.style.top = '94px';
  panel.appendChild(b);
}
