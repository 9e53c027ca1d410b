'use strict';
// Edit gestures, undo/redo and A/B compare of the page, without a browser.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/modules');
const { gesture } = require('../harness/session');

function newPage() {
  const posted = [];
  // Timers run only when the test says so.
  const timers = new Map();
  let nextTimer = 1;
  const page = loadModules(['util.js', 'params.js', 'edits.js', 'pagestate.js'], {
    IPluginSendMsg: (m) => posted.push(JSON.parse(JSON.stringify(m))),  // out of the page's realm
    changed: () => {},
    refreshCommands: () => {},
    setTimeout: (fn) => { timers.set(nextTimer, fn); return nextTimer++; },
    clearTimeout: (id) => timers.delete(id),
    btoa: (s) => Buffer.from(s, 'latin1').toString('base64'),
  });
  page.gParams = [
    page.makeParam({ id: 0, name: 'Input', type: 'float', min: 0, max: 100, default: 50 }),
    page.makeParam({ id: 1, name: 'Low Cut', type: 'float', min: 0, max: 100, default: 0 }),
    page.makeParam({ id: 2, name: 'Low Cut Freq', type: 'enum', min: 0, max: 3, default: 0 }),
    page.makeParam({ id: 3, name: 'Band Listen', type: 'enum', min: 0, max: 8, default: 0 }),
  ];
  const runTimers = () => { const fns = [...timers.values()]; timers.clear(); fns.forEach((fn) => fn()); };
  return { page, posted, runTimers, norms: () => Array.from(page.gParams, (p) => p.norm) };
}

test('undo and redo replay edits as gestures, a compound edit as one step', () => {
  const { page, posted, norms } = newPage();
  const [input, lowCut, freq] = page.gParams;
  page.editOnce(input, 0.8);
  page.compound(() => { page.editOnce(lowCut, 0.3); page.editOnce(freq, 1); });
  assert.deepEqual(norms(), [0.8, 0.3, 1, 0]);
  assert.equal(page.edits.undo.length, 2);
  posted.length = 0;
  page.edits.doUndo();
  // The compound step is undone last edit first.
  assert.deepEqual(posted, [...gesture(2, 0), ...gesture(1, 0)]);
  assert.deepEqual(norms(), [0.8, 0, 0, 0]);
  page.edits.doUndo();
  page.edits.doUndo();  // nothing left: no effect
  assert.deepEqual(norms(), [0.5, 0, 0, 0]);
  page.edits.doRedo();
  page.edits.doRedo();
  assert.deepEqual(norms(), [0.8, 0.3, 1, 0]);
  // A new edit clears the redo list; an edit that ends where it began is no step.
  page.edits.doUndo();
  page.editOnce(input, 0.1);
  assert.equal(page.edits.redo.length, 0);
  page.beginEdit(lowCut);
  page.endEdit(lowCut);
  assert.equal(page.edits.undo.length, 2);
  // The list keeps the newest 200 steps.
  for (let i = 0; i < 250; i++) page.editOnce(input, (i % 10) / 10 + 0.05);
  assert.equal(page.edits.undo.length, 200);
});

test('undo, redo and A/B close an open gesture first; Band Listen stays out of history and slots', () => {
  const { page, norms } = newPage();
  const [input, lowCut, , listen] = page.gParams;
  page.editOnce(lowCut, 0.3);
  // A wheel burst still open: undo takes it back, not the edit before, and redo keeps it.
  page.touchEdit(input, 0.6, 350);
  page.touchEdit(input, 0.61, 350);
  page.edits.doUndo();
  assert.deepEqual(norms(), [0.5, 0.3, 0, 0]);
  assert.equal(page.edits.redo.length, 1);
  page.edits.doRedo();
  assert.deepEqual(norms(), [0.61, 0.3, 0, 0]);
  // A drag still open when A/B is switched is recorded in the slot it was made in.
  page.beginEdit(lowCut);
  page.setEdit(lowCut, 0.9);
  page.compare.select(1);
  assert.deepEqual(page.compare.slots[0].slice(0, 2), [0.61, 0.9]);
  assert.equal(page.edits.undo.length, 4);
  // Listening is no step and is not switched with the settings.
  page.editOnce(listen, 1 / 8);
  page.compare.select(0);
  assert.equal(listen.norm, 1 / 8);
  assert.equal(page.edits.undo.length, 5);
  page.edits.doUndo();
  assert.equal(listen.norm, 1 / 8);
});

test('the page state goes to the plug-in when it changes and comes back whole, or not at all', () => {
  const { page, posted, runTimers, norms } = newPage();
  const [input, lowCut] = page.gParams;
  page.editOnce(input, 0.7);
  page.compare.select(1);
  page.editOnce(lowCut, 0.4);
  page.compound(() => { page.editOnce(input, 0.2); page.editOnce(lowCut, 0.1); });
  page.edits.doUndo();
  posted.length = 0;
  runTimers();
  runTimers();  // posted once per change, not again while nothing changed
  const stores = posted.filter((m) => m.msg === 'SAMFUI');
  assert.equal(stores.length, 1);
  assert.deepEqual([stores[0].msgTag, stores[0].ctrlTag], [12, -1]);
  const text = Buffer.from(stores[0].data, 'base64').toString('utf8');

  // A new page (the editor reopened) with the same values gets A/B and history back.
  const other = newPage();
  other.page.gParams.forEach((p, i) => { p.norm = norms()[i]; });
  assert.equal(other.page.restorePageState(JSON.parse(text)), true);
  const model = (pg) => JSON.parse(JSON.stringify({ a: pg.compare.active, s: pg.compare.slots, u: pg.edits.undo, r: pg.edits.redo }));
  assert.deepEqual(model(other.page), model(page));
  other.runTimers();
  assert.equal(other.posted.length, 0, 'a restored state is not posted back');

  // Text it cannot use in full leaves the page as it was.
  const good = JSON.parse(text);
  const bad = [null, 'text', 7, { ...good, v: 2 }, { ...good, n: 53 }, { ...good, active: 2 }, { ...good, slots: [null] },
    { ...good, undo: [{ c: [[3, 0, 0.125]] }] }, { ...good, undo: [{ c: [[0, 0.5, 1.5]] }] }, { ...good, redo: [{ c: [[9, 0, 1]] }] },
    { ...good, undo: [{ c: [], s: [0, 2] }] }, { ...good, slots: [[0.5, 0, 0], null] }, { ...good, slots: [[0.5, 0, 1.5, 0], null] }];
  const fresh = newPage();
  for (const state of bad) assert.equal(fresh.page.restorePageState(state), false, JSON.stringify(state));
  assert.deepEqual([fresh.page.edits.undo.length, fresh.page.compare.active], [0, 0]);

  // A history too long for the plug-in's limit is stored without its oldest steps.
  page.kPageStateMaxBytes = 2000;
  const step = (i) => (i % 10) / 10 + 0.05;
  for (let i = 0; i < 100; i++) page.editOnce(input, step(i));
  const capped = JSON.parse(page.pageStateText());
  assert.ok(page.pageStateText().length <= 2000);
  assert.ok(capped.undo.length > 10 && capped.undo.length < page.edits.undo.length);
  assert.deepEqual(capped.undo.at(-1).c, [[0, step(98), step(99)]]);
});
