// ---------------------------------------------------------------------------
// Messages to the plug-in
// ---------------------------------------------------------------------------
var kVendorUrl = 'https://www.oskel-audio.example/';

function post(msg) {
  if (typeof IPluginSendMsg === 'function') {
    try { IPluginSendMsg(msg); } catch (e) { /* no channel: the edit stays local */ }
  }
}

// An arbitrary message to the plug-in: data is the base64 text of the payload.
function postArbitrary(msgTag, data) {
  post({ msg: 'SAMFUI', msgTag: msgTag, ctrlTag: -1, data: data });
}

// Edit gestures. Every change the page makes reaches the host bracketed by
// "BPCFUI" and "EPCFUI", so that hosts can group it for their own undo and
// automation writing. One gesture per parameter may be open at a time.
var gOpen = {};          // paramIdx -> { from: normalised value at the start }
var gRecording = null;   // collects the changes of a compound action

function beginEdit(p) {
  if (gOpen[p.id]) return;
  gOpen[p.id] = { from: p.norm };
  post({ msg: 'BPCFUI', paramIdx: p.id });
}
function setEdit(p, norm) {
  norm = clamp(norm, 0, 1);
  if (!gOpen[p.id]) beginEdit(p);
  if (norm === p.norm) return;
  p.norm = norm;
  post({ msg: 'SPVFUI', paramIdx: p.id, value: norm });
  changed(p);
}
function endEdit(p) {
  var g = gOpen[p.id];
  if (!g) return;
  delete gOpen[p.id];
  post({ msg: 'EPCFUI', paramIdx: p.id });
  // Band Listen is a monitoring switch, not a setting: it stays out of the history.
  if (g.from !== p.norm && !isMonitor(p)) {
    var change = { id: p.id, from: g.from, to: p.norm };
    if (gRecording) gRecording.push(change); else edits.push([change]);
  }
}
function isMonitor(p) { return p.name === 'Band Listen'; }
function editOnce(p, norm) {
  beginEdit(p);
  setEdit(p, norm);
  endEdit(p);
}
// Runs fn and records every edit it makes as one undo step.
function compound(fn) {
  var outer = gRecording;
  gRecording = [];
  try { fn(); } finally {
    var changes = gRecording;
    gRecording = outer;
    if (changes.length) { if (outer) Array.prototype.push.apply(outer, changes); else edits.push(changes); }
  }
}

// Gestures of the wheel and of held keys have no natural end: they close
// after a short pause, so a burst of steps is one edit for the host.
var gIdleEnds = {};
function touchEdit(p, norm, idleMs) {
  setEdit(p, norm);
  clearTimeout(gIdleEnds[p.id]);
  gIdleEnds[p.id] = setTimeout(function () { delete gIdleEnds[p.id]; endEdit(p); }, idleMs);
}
function finishIdleEdit(p) {
  if (gIdleEnds[p.id] !== undefined) { clearTimeout(gIdleEnds[p.id]); delete gIdleEnds[p.id]; endEdit(p); }
}
// Ends every open gesture (a wheel burst, held keys, a drag) so that it is
// recorded before an undo, redo or A/B switch acts on the history.
function closeGestures() {
  Object.keys(gIdleEnds).forEach(function (id) { var p = gParams[id]; if (p) finishIdleEdit(p); });
  Object.keys(gOpen).forEach(function (id) { var p = gParams[id]; if (p) endEdit(p); });
}

// ---------------------------------------------------------------------------
// Undo and redo of the page's own edits, replayed as ordinary gestures.
// ---------------------------------------------------------------------------
// A step is a list of changes; an A/B switch also carries the slot it left
// and the slot it lit (step.slot = { from, to }), so that undoing it lights
// the slot whose values it brings back.
var edits = {
  undo: [], redo: [], limit: 200,
  push: function (changes) {
    this.undo.push(changes);
    if (this.undo.length > this.limit) this.undo.shift();
    this.redo.length = 0;
    historyChanged();
  },
  replay: function (from, to, useTo) {
    closeGestures();
    var changes = from.pop();
    if (!changes) return;
    var outer = gRecording;
    gRecording = [];
    try {
      var list = useTo ? changes : changes.slice().reverse();
      list.forEach(function (c) {
        var p = gParams[c.id];
        if (p) editOnce(p, useTo ? c.to : c.from);
      });
    } finally { gRecording = outer; }
    if (changes.slot) compare.active = useTo ? changes.slot.to : changes.slot.from;
    to.push(changes);
    historyChanged();
  },
  doUndo: function () { this.replay(this.undo, this.redo, false); },
  doRedo: function () { this.replay(this.redo, this.undo, true); }
};

// ---------------------------------------------------------------------------
// A/B compare: two settings slots. Switching stores the current settings in
// the active slot and applies the other one through edit gestures. Band
// Listen is not a setting and is neither stored nor applied.
// ---------------------------------------------------------------------------
var compare = {
  active: 0, slots: [null, null],
  snapshot: function () { return gParams.map(function (p) { return p && !isMonitor(p) ? p.norm : undefined; }); },
  apply: function (values) {
    var changes = [];
    var outer = gRecording;
    gRecording = changes;
    try {
      values.forEach(function (v, i) {
        var p = gParams[i];
        if (p && !isMonitor(p) && v !== undefined && v !== null && v !== p.norm) editOnce(p, v);
      });
    } finally { gRecording = outer; }
    return changes;
  },
  select: function (slot) {
    closeGestures();
    if (slot === this.active) return;
    this.slots[this.active] = this.snapshot();
    var target = this.slots[slot];
    var changes = target ? this.apply(target) : [];
    // Even a switch that changes no value is a step: undo must light the old slot again.
    changes.slot = { from: this.active, to: slot };
    this.active = slot;
    edits.push(changes);
  },
  copy: function () { closeGestures(); this.slots[1 - this.active] = this.snapshot(); historyChanged(); }
};

function resetAll() {
  compound(function () {
    gParams.forEach(function (p) { if (p && p.norm !== p.defNorm) editOnce(p, p.defNorm); });
  });
}

function openVendorSite() {
  var json = '{"url":"' + kVendorUrl + '"}';
  postArbitrary(kMsgTag.openUrl, btoa(json));
}
