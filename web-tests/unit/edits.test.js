'use strict';
// Undo/redo, A/B compare, the page state and wheel steps of the page, without a browser.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/fixtures');

function newPage() {
  const posted = [];
  // Timers run only when the test says so.
  const timers = new Map();
  let nextTimer = 1;
  const page = loadModules(['util.js', 'params.js', 'edits.js', 'pagestate.js', 'wheel.js'], {
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

test('a new edit clears redo, an unchanged edit is no step, A/B closes an open drag; Band Listen stays out', () => {
  const { page, norms } = newPage();
  const [input, lowCut, , listen] = page.gParams;
  page.edits.doUndo();  // nothing to undo: no effect
  page.editOnce(input, 0.8);
  page.edits.doUndo();
  page.editOnce(input, 0.1);
  page.beginEdit(lowCut);
  page.endEdit(lowCut);
  assert.deepEqual([page.edits.undo.length, page.edits.redo.length, ...norms()], [1, 0, 0.1, 0, 0, 0]);
  // A drag still open when A/B is switched is recorded in the slot it was made in.
  page.beginEdit(lowCut);
  page.setEdit(lowCut, 0.9);
  page.compare.select(1);
  assert.deepEqual(page.compare.slots[0].slice(0, 2), [0.1, 0.9]);
  assert.equal(page.edits.undo.length, 3);
  // Listening is no step and is not switched with the settings.
  page.editOnce(listen, 1 / 8);
  page.compare.select(0);
  assert.equal(listen.norm, 1 / 8);
  assert.equal(page.edits.undo.length, 4);
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

const px = (deltaY, extra = {}) => ({ deltaY, deltaX: 0, deltaMode: 0, shiftKey: false, ...extra });

test('the wheel moves by the distance travelled, Shift gives the fine steps from either axis', () => {
  const { page } = newPage();
  const [input, , , listen] = page.gParams;
  // Each case: the parameter, its start, a list of wheel events, the plain value after each.
  const cases = [
    ['a mouse notch is one 1 % step', input, 50, [px(-100), px(100), px(100)], [51, 50, 49]],
    ['what is left over carries until the direction turns', input, 50, [px(-6), px(-6), px(-6), px(2), px(-6)], [50, 50.1, 50.1, 50.1, 50.1]],
    ['Shift: a notch is the fine step, vertical or horizontal', input, 50,
      [px(-100, { shiftKey: true }), px(0, { deltaX: -200, shiftKey: true }), px(0, { deltaX: -100 })], [50.1, 50.3, 50.3]],
    ['the ends hold and leave nothing to carry', input, 99.5, [px(-300), px(100)], [100, 99]],
    ['a choice moves one entry per notch, not per event', listen, 5, [px(40), px(40), px(40), px(-200)], [5, 5, 4, 6]],
  ];
  for (const [what, p, start, events, expected] of cases) {
    p.norm = page.toNorm(p, start);
    const acc = { rest: 0 };
    const got = events.map((e) => {
      p.norm = page.wheelMove(p, acc, page.wheelSteps(e), e.shiftKey);
      return page.plainOf(p);
    });
    assert.deepEqual(got, expected, what);
  }
});
