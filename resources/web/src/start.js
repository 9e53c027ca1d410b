// ---------------------------------------------------------------------------
// Messages from the plug-in
// ---------------------------------------------------------------------------
var kBase64 = /^[A-Za-z0-9+/]*={0,2}$/;
function decodeBase64(text) {
  if (typeof text !== 'string' || text.length % 4 !== 0 || !kBase64.test(text)) return null;
  var bin = atob(text), bytes = new Uint8Array(bin.length);
  for (var i = 0; i < bin.length; i++) bytes[i] = bin.charCodeAt(i);
  return bytes;
}
function decodeText(bytes) {
  try { return new TextDecoder('utf-8', { fatal: true }).decode(bytes); } catch (e) { return null; }
}
function decodeJson(text) {
  var bytes = decodeBase64(text), s = bytes && decodeText(bytes);
  if (s === null || s === undefined) return null;
  try { return JSON.parse(s); } catch (e) { return null; }
}

function acceptDescriptions(doc) {
  if (!doc || typeof doc !== 'object' || doc.id !== 'params' || !Array.isArray(doc.params)) return false;
  var list = [];
  doc.params.forEach(function (d) {
    if (!d || typeof d !== 'object') return;
    if (!Number.isInteger(d.id) || d.id < 0 || d.id > 4095 || typeof d.name !== 'string' || !d.name) return;
    if (!isNum(d.min) || !isNum(d.max) || !isNum(d.default) || !(d.max > d.min)) return;
    if (list[d.id]) return;
    list[d.id] = makeParam(d);
  });
  if (!list.some(Boolean)) return false;
  // A repeated description (a reload of the page's content) keeps the values shown.
  list.forEach(function (p) {
    var old = gParams[p.id];
    if (old && old.name === p.name) p.norm = old.norm;
    if (gPendingValues[p.id] !== undefined) { p.norm = gPendingValues[p.id]; }
  });
  gPendingValues = {};
  gOpen = {};
  Object.keys(gIdleEnds).forEach(function (k) { clearTimeout(gIdleEnds[k]); });
  gIdleEnds = {};
  edits.undo.length = 0; edits.redo.length = 0;
  compare.slots = [null, null]; compare.active = 0;
  closeMenu(); closeEntry(false);
  gParams = list;
  gByName = {};
  list.forEach(function (p) { if (p && !gByName[p.name]) gByName[p.name] = p; });
  build();
  return true;
}

function onParamValue(idx, value) {
  if (!Number.isInteger(idx) || !isNum(value)) return;
  value = clamp(value, 0, 1);
  var p = gParams[idx];
  if (!p) { if (idx >= 0 && idx <= 4095) gPendingValues[idx] = value; return; }
  if (p.kind !== 'float') value = snapNorm(p, value);
  if (value === p.norm) return;
  p.norm = value;
  changed(p);
}

function onArbitrary(msgTag, dataSize, data) {
  if (msgTag === kMsgTag.descriptions) { acceptDescriptions(decodeJson(data)); return; }
  if (msgTag === kMsgTag.meters) { acceptMeters(decodeJson(data)); return; }
  if (msgTag === kMsgTag.levels) { acceptLevels(decodeJson(data)); return; }
  if (msgTag === kMsgTag.editorScale) { acceptEditorScale(decodeJson(data)); return; }
  if (msgTag === kMsgTag.pageState) { restorePageState(decodeJson(data)); return; }
  if (msgTag === kMsgTag.sampleRate) { if (acceptSampleRate(decodeJson(data))) scheduleCurve(); return; }
  if (msgTag === kMsgTag.spectrum) {
    // The picture is base64 text sent as the payload, so it arrives encoded twice.
    var inner = decodeBase64(data), text = inner && decodeText(inner), bytes = text && decodeBase64(text);
    if (bytes && bytes.length === 256) acceptSpectrum(bytes);
  }
}

function dispatch(kind, args) {
  if (kind === 'SPVFD') onParamValue(args[0], args[1]);
  else if (kind === 'SAMFD') onArbitrary(args[0], args[1], args[2]);
  // Control values, control messages and MIDI are not used by this editor.
}

// Read-only view of the editor for diagnostics and tests.
window.KyrEditor = {
  value: function (name) { var p = gByName[name]; return p ? p.norm : undefined; },
  text: function (name) { var p = gByName[name]; return p ? displayText(p) : undefined; },
  sampleRate: function () { return gSampleRate; },
  names: function () { return gParams.filter(Boolean).map(function (p) { return p.name; }); },
  responseDb: function (hz) {
    return responseChains(gSampleRate).map(function (ch) { return chainDb(ch, hz, gSampleRate); });
  },
  meters: function () {
    var m = gMeters;
    return { thd: m.thd, drive: m.drive, loRed: m.loRed, hiRed: m.hiRed, tp: m.tp, lufs: m.lufs, xf: m.xf, tb: m.tb,
      ease: m.ease, ppg: m.ppg.slice(), ppbg: m.ppbg.slice() };
  },
  levels: function () {
    return { m: gLevels.m, s: gLevels.s, i: gLevels.i, inTp: gLevels.inTp, gm: gLevels.gm, count: gLevels.count };
  },
  scale: function () { return gScale; },
  spectrum: function () {
    return gSpectrum.shownIn ? { input: Array.from(gSpectrum.shownIn), output: Array.from(gSpectrum.shownOut) } : null;
  },
  stats: function () {
    return { spectra: gSpectrum.count, meters: gMeters.count, dropped: gKyrDropped, undo: edits.undo.length,
      redo: edits.redo.length, slot: compare.active };
  }
};

watchDpr();
window.addEventListener('resize', sizeCanvases);
buildHeader();
gKyrHandler = dispatch;
var queued = gKyrInbox;
gKyrInbox = [];
queued.forEach(function (item) { KyrDeliver(item[0], item[1]); });
