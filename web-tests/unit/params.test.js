'use strict';
// The page's parameter model: normalising and display texts.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/modules');
const { loadFixtures, loadPageData } = require('../harness/fixtures');

const page = loadModules(['util.js', 'params.js']);
const kDescs = loadFixtures().descs;
const kParams = Object.fromEntries(kDescs.map((d) => [d.name, page.makeParam(d)]));
kParams.unknown = page.makeParam({ id: 60, name: 'Not In The Table', type: 'float', min: 0, max: 10, default: 0 });

test('display texts come from the engine\'s table, with units and without binary noise', () => {
  const cases = [
    ['Input', 0.5, '50.0 %'], ['Input', 0.333, '33.3 %'], ['Input', 1, '100.0 %'],
    ['Tilt', 0.5, '0.0 dB'], ['Tilt', 0.4999, '0.0 dB'], ['Tilt', 0.25, '-1.5 dB'], ['Tilt', 0.75, '+1.5 dB'],
    ['Width', 0.505, '101 %'],
    ['High Boost Freq', 5 / 7, '10k'], ['High Boost Freq', 1, '16k'], ['LF Slope', 0, '6'],
    ['Bypass', 0, 'off'], ['Bypass', 1, 'on'],
    ['unknown', 0.5, '5.00'],
  ];
  for (const [key, norm, text] of cases) assert.equal(page.displayText(kParams[key], norm), text, `${key} ${norm}`);
  assert.equal(kParams['High Boost Freq'].unit, 'Hz');
  assert.equal(kParams['LF Slope'].unit, 'dB/oct');
  // Every choice at its default shows the text the engine's table gives it.
  const data = loadPageData().params;
  assert.deepEqual(data.map((p) => p.name), kDescs.map((d) => d.name));
  for (const [i, p] of data.entries()) {
    if (p.texts.length) assert.equal(page.displayText(kParams[p.name]), p.texts[kDescs[i].default - kDescs[i].min], p.name);
  }
});

test('continuous values are cleaned of binary noise; choices keep the exact quotient', () => {
  assert.equal(page.toNorm(kParams.Input, 33.3), 0.333);
  assert.equal(page.toNorm(kParams['High Boost Freq'], 3), 3 / 7);
  assert.equal(page.snapNorm(kParams['High Boost Freq'], 0.5), 4 / 7);
});
