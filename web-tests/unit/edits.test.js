'use strict';
// Edit gestures, undo/redo and A/B compare of the page, without a browser.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/modules');

function newPage() {
  const posted = [];
  const page = loadModules(['util.js', 'params.js', 'edits.js'], {
    IPluginSendMsg: (m) => posted.push(JSON.parse(JSON.stringify(m))),  // out of the page's realm
    changed: () => {},
    refreshCommands: () => {},
  });
  page.gParams = [
    page.makeParam({ id: 0, name: 'Input', type: 'float', min: 0, max: 100, default: 50 }),
    page.makeParam({ id: 1, name: 'Low Cut', type: 'float', min: 0, max: 100, default: 0 }),
    page.makeParam({ id: 2, name: 'Low Cut Freq', type: 'enum', min: 0, max: 3, default: 0 }),
  ];
  return { page, posted, norms: () => Array.from(page.gParams, (p) => p.norm) };
}

const gesture = (paramIdx, value) =>
  [{ msg: 'BPCFUI', paramIdx }, { msg: 'SPVFUI', paramIdx, value }, { msg: 'EPCFUI', paramIdx }];

test('undo and redo replay edits as gestures, a compound edit as one step', () => {
  const { page, posted, norms } = newPage();
  const [input, lowCut, freq] = page.gParams;
  page.editOnce(input, 0.8);
  page.compound(() => { page.editOnce(lowCut, 0.3); page.editOnce(freq, 1); });
  assert.deepEqual(norms(), [0.8, 0.3, 1]);
  assert.equal(page.edits.undo.length, 2);
  posted.length = 0;
  page.edits.doUndo();
  // The compound step is undone last edit first.
  assert.deepEqual(posted, [...gesture(2, 0), ...gesture(1, 0)]);
  assert.deepEqual(norms(), [0.8, 0, 0]);
  page.edits.doUndo();
  page.edits.doUndo();  // nothing left: no effect
  assert.deepEqual(norms(), [0.5, 0, 0]);
  page.edits.doRedo();
  page.edits.doRedo();
  assert.deepEqual(norms(), [0.8, 0.3, 1]);
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

test('A/B compare stores the active slot and applies the other through gestures', () => {
  const { page, posted, norms } = newPage();
  const [input, lowCut] = page.gParams;
  page.editOnce(input, 0.7);
  page.compare.select(1);  // B is empty: nothing is applied
  assert.deepEqual(norms(), [0.7, 0, 0]);
  page.editOnce(lowCut, 0.4);
  posted.length = 0;
  page.compare.select(0);
  assert.deepEqual(norms(), [0.7, 0, 0]);
  assert.deepEqual(posted, gesture(1, 0));
  page.compare.select(1);
  assert.deepEqual(norms(), [0.7, 0.4, 0]);
  // Switching is one undo step.
  page.edits.doUndo();
  assert.deepEqual(norms(), [0.7, 0, 0]);
  // Copy puts the current settings into the other slot; reset all returns to the defaults.
  page.compare.copy();
  page.resetAll();
  assert.deepEqual(norms(), [0.5, 0, 0]);
  page.compare.select(0);
  assert.deepEqual(norms(), [0.7, 0, 0]);
});
