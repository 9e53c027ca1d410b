'use strict';
// Wheel steps by the distance travelled.
const test = require('node:test');
const assert = require('node:assert/strict');
const { loadModules } = require('../harness/modules');

const page = loadModules(['util.js', 'params.js', 'wheel.js']);
const output = page.makeParam({ id: 12, name: 'Output', type: 'float', min: 0, max: 100, default: 50 });
const freq = page.makeParam({ id: 8, name: 'High Boost Freq', type: 'enum', min: 0, max: 7, default: 5 });

const px = (deltaY, extra = {}) => ({ deltaY, deltaX: 0, deltaMode: 0, shiftKey: false, ...extra });

test('the wheel moves by the distance travelled, Shift gives the fine steps from either axis', () => {
  // Each case: the parameter, its start, a list of wheel events, the plain value after each.
  const cases = [
    ['a mouse notch is one 1 % step', output, 50, [px(-100), px(100), px(100)], [51, 50, 49]],
    ['what is left over carries until the direction turns', output, 50, [px(-6), px(-6), px(-6), px(2), px(-6)], [50, 50.1, 50.1, 50.1, 50.1]],
    ['Shift: a notch is the fine step, vertical or horizontal', output, 50,
      [px(-100, { shiftKey: true }), px(0, { deltaX: -200, shiftKey: true }), px(0, { deltaX: -100 })], [50.1, 50.3, 50.3]],
    ['the ends hold and leave nothing to carry', output, 99.5, [px(-300), px(100)], [100, 99]],
    ['a choice moves one entry per notch, not per event', freq, 5, [px(40), px(40), px(40), px(-200)], [5, 5, 4, 6]],
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
