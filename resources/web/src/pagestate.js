// ---------------------------------------------------------------------------
// Page state kept by the plug-in while its instance lives: the A/B slots, the
// lit slot and the undo/redo history. The page posts it (debounced) whenever
// it changes; the plug-in sends the latest text back after each page load, so
// reopening the editor keeps them. It is not part of the saved project.
// ---------------------------------------------------------------------------
var kPageStateMaxBytes = kPageData.protocol.maxPageStateBytes;
var kPageStateDelayMs = 400;
var gPageStateTimer = null;
var gPageStateSent = null;
// Members other modules keep in the page state (kept as restored, written back as set).
var gPageStateExtras = {};

function historyChanged() {
  refreshCommands();
  clearTimeout(gPageStateTimer);
  gPageStateTimer = setTimeout(postPageState, kPageStateDelayMs);
}

function encodeStep(step) {
  var out = { c: step.map(function (c) { return [c.id, c.from, c.to]; }) };
  if (step.slot) out.s = [step.slot.from, step.slot.to];
  return out;
}
function encodeSlot(values) {
  return values ? values.map(function (v) { return v === undefined ? null : v; }) : null;
}

// The state as JSON text of at most kPageStateMaxBytes bytes: when the whole
// history does not fit, the oldest undo steps and then the farthest redo
// steps are left out of the text (the page keeps them). Null if even the
// slots alone do not fit.
function pageStateText() {
  var state = {};
  Object.keys(gPageStateExtras).forEach(function (k) { state[k] = gPageStateExtras[k]; });
  state.v = 1;
  state.n = gParams.length;
  state.active = compare.active;
  state.slots = [encodeSlot(compare.slots[0]), encodeSlot(compare.slots[1])];
  state.undo = edits.undo.map(encodeStep);
  state.redo = edits.redo.map(encodeStep);
  for (;;) {
    // Numbers and ASCII names only, so the text's length is its byte count.
    var text = JSON.stringify(state);
    if (text.length <= kPageStateMaxBytes) return text;
    if (state.undo.length) state.undo.shift();
    else if (state.redo.length) state.redo.shift();
    else return null;
  }
}

function postPageState() {
  gPageStateTimer = null;
  if (!gParams.length) return;
  var text = pageStateText();
  if (text === null || text === gPageStateSent) return;
  gPageStateSent = text;
  postArbitrary(kMsgTag.storePageState, btoa(text));
}

function isNorm(v) { return isNum(v) && v >= 0 && v <= 1; }
function decodeStep(s) {
  if (!s || typeof s !== 'object' || !Array.isArray(s.c)) return null;
  var step = [];
  for (var i = 0; i < s.c.length; i++) {
    var c = s.c[i];
    if (!Array.isArray(c) || c.length !== 3 || !Number.isInteger(c[0]) || !isNorm(c[1]) || !isNorm(c[2])) return null;
    var p = gParams[c[0]];
    if (!p || isMonitor(p)) return null;
    step.push({ id: c[0], from: c[1], to: c[2] });
  }
  if (s.s !== undefined) {
    if (!Array.isArray(s.s) || s.s.length !== 2 || !(s.s[0] === 0 || s.s[0] === 1) || !(s.s[1] === 0 || s.s[1] === 1)) return null;
    step.slot = { from: s.s[0], to: s.s[1] };
  }
  return step;
}
function decodeSlot(values) {
  if (values === null) return null;
  if (!Array.isArray(values) || values.length !== gParams.length) return undefined;
  var out = [];
  for (var i = 0; i < values.length; i++) {
    var p = gParams[i], v = values[i];
    if (v === null || !p || isMonitor(p)) { out.push(undefined); continue; }
    if (!isNorm(v)) return undefined;
    out.push(v);
  }
  return out;
}
function decodeSteps(list) {
  if (!Array.isArray(list)) return null;
  var out = [];
  for (var i = 0; i < list.length; i++) {
    var step = decodeStep(list[i]);
    if (!step) return null;
    out.push(step);
  }
  return out.slice(-edits.limit);
}

// Restores A/B and history from the plug-in's stored text (already parsed).
// Anything it cannot read wholly (another version, another parameter set,
// damaged text) is ignored and the page keeps what it has.
function restorePageState(state) {
  if (!state || typeof state !== 'object' || state.v !== 1 || !gParams.length || state.n !== gParams.length) return false;
  if (state.active !== 0 && state.active !== 1) return false;
  if (!Array.isArray(state.slots) || state.slots.length !== 2) return false;
  var slots = [decodeSlot(state.slots[0]), decodeSlot(state.slots[1])];
  var undo = decodeSteps(state.undo), redo = decodeSteps(state.redo);
  if (slots[0] === undefined || slots[1] === undefined || !undo || !redo) return false;
  closeGestures();
  compare.active = state.active;
  compare.slots = slots;
  edits.undo = undo;
  edits.redo = redo;
  var mine = { v: 1, n: 1, active: 1, slots: 1, undo: 1, redo: 1 };
  gPageStateExtras = {};
  Object.keys(state).forEach(function (k) { if (!mine[k]) gPageStateExtras[k] = state[k]; });
  // What the plug-in holds is this state: nothing to post back.
  clearTimeout(gPageStateTimer);
  gPageStateTimer = null;
  gPageStateSent = pageStateText();
  refreshCommands();
  return true;
}
