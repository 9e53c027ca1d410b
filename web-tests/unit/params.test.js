'use strict';
// The page's parameter model: normalising and display texts.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/modules');

const page = loadModules(['util.js', 'params.js']);
const make = (id, name, type, min, max, def) => page.makeParam({ id, name, type, min, max, default: def });
const kParams = {
  input: make(0, 'Input', 'float', 0, 100, 50),
  tilt: make(37, 'Tilt', 'float', -3, 3, 0),
  width: make(39, 'Width', 'float', 0, 200, 100),
  highBoostFreq: make(8, 'High Boost Freq', 'enum', 0, 7, 5),
  lfSlope: make(32, 'LF Slope', 'enum', 0, 2, 1),
  bypass: make(14, 'Bypass', 'bool', 0, 1, 0),
  unknown: make(60, 'Not In The Table', 'float', 0, 10, 0),
};

test('display texts come from the engine\'s table, with units and without binary noise', () => {
  const cases = [
    ['input', 0.5, '50.0 %'], ['input', 0.333, '33.3 %'], ['input', 1, '100.0 %'],
    ['tilt', 0.5, '0.0 dB'], ['tilt', 0.4999, '0.0 dB'], ['tilt', 0.25, '-1.5 dB'], ['tilt', 0.75, '+1.5 dB'],
    ['width', 0.505, '101 %'],
    ['highBoostFreq', 5 / 7, '10k'], ['highBoostFreq', 1, '16k'], ['lfSlope', 0, '6'],
    ['bypass', 0, 'off'], ['bypass', 1, 'on'],
    ['unknown', 0.5, '5.00'],
  ];
  for (const [key, norm, text] of cases) assert.equal(page.displayText(kParams[key], norm), text, `${key} ${norm}`);
  assert.equal(kParams.highBoostFreq.unit, 'Hz');
  assert.equal(kParams.lfSlope.unit, 'dB/oct');
  assert.equal(kParams.input.defNorm, 0.5);
});

test('continuous values are cleaned of binary noise; choices keep the exact quotient', () => {
  assert.equal(page.toNorm(kParams.input, 33.3), 0.333);
  assert.equal(page.toNorm(kParams.highBoostFreq, 3), 3 / 7);
  assert.equal(page.snapNorm(kParams.highBoostFreq, 0.5), 4 / 7);
});
