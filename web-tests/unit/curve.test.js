'use strict';
// The response curve's channels and the rate it is drawn for (its shape is compared with the engine's in pictures).
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/modules');

// A page with its parameters at the given plain values (everything else absent).
function pageWith(values) {
  const page = loadModules(['util.js', 'params.js', 'curve.js']);
  page.gByName = {};
  for (const [name, plain] of Object.entries(values)) page.gByName[name] = { plain };
  page.plainOf = (p) => p.plain;
  return page;
}

test('Baxandall channels give two curves only when they differ, labelled by stereo mode', () => {
  const bax = { 'Mode': 1, 'Output': 50, 'BAX Lo Shelf L': 3, 'BAX Lo Shelf R': 3, 'BAX Link': 0 };
  const cases = [
    [{}, ['L']],
    [{ 'BAX Lo Shelf R': -2 }, ['L', 'R']],
    [{ 'BAX Lo Shelf R': -2, 'BAX Stereo Mode': 1 }, ['M', 'S']],
    [{ 'BAX Lo Shelf R': -2, 'BAX Link': 1 }, ['']],
  ];
  for (const [extra, labels] of cases) {
    const page = pageWith({ ...bax, ...extra });
    assert.deepEqual(Array.from(page.responseChains(48000), (c) => c.label), labels, JSON.stringify(extra));
  }
});

test('only a usable sample-rate message changes the rate', () => {
  const page = pageWith({});
  const cases = [
    [{ t: 'rate', fs: 44100 }, true, 44100], [{ t: 'rate', fs: 192000 }, true, 192000],
    [{ t: 'rate', fs: 0 }, false, 192000], [{ t: 'rate', fs: '48000' }, false, 192000],
    [{ t: 'meters', fs: 48000 }, false, 192000], [null, false, 192000], [{ t: 'rate', fs: Infinity }, false, 192000],
    [{ t: 'rate', fs: -48000 }, false, 192000], [{ t: 'rate', fs: 1e9 }, false, 192000],
  ];
  for (const [message, accepted, rate] of cases) {
    assert.equal(page.acceptSampleRate(message), accepted, JSON.stringify(message));
    assert.equal(page.gSampleRate, rate);
  }
});
