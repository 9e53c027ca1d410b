'use strict';
// Gestures on the controls, typed values, and undo/redo/A-B through the page's shortcuts and buttons.
const test = require('node:test');
const assert = require('node:assert/strict');
const { useBrowser, gesture } = require('../harness/host');
const { samfd } = require('../harness/fixtures');

const session = useBrowser();
const idle = (ms) => new Promise((r) => setTimeout(r, ms));
const kOutput = 12;

// Runs fn on a freshly loaded editor and returns the parameter messages it caused.
function editsOf(fn) {
  return session.withLoaded(async (editor) => {
    const mark = await editor.mark();
    await fn(editor);
    return { edits: await editor.edits(mark), all: await editor.posted(mark) };
  });
}

test('a click on a value or typing at a selector opens a text field; its keys stay in the page', async () => {
  // What each text means is the logic tests' concern; here: the field, its keys, its message and its gesture.
  const cases = [
    { name: 'Output', typed: '-3', key: 'Enter', expect: gesture(12, 0.375), readout: '37.5 %\u00a0-3.0 dB' },
    { name: 'Output', typed: '70', key: 'Escape', expect: [] },
    { name: 'Low Boost', typed: '1k', key: 'Enter', expect: [], refused: /^"1k" is not a value for Low Boost\. Type .*%/ },
    // Typed at a selector, the first key opens the field; a frequency snaps to the nearest entry.
    { name: 'Mid Boost Freq', role: 'select', typed: '650 Hz', key: 'Enter', expect: gesture(37, 3 / 7), text: '700' },
  ];
  for (const c of cases) {
    const { all, edits } = await editsOf(async (e) => {
      const field = e.page.locator('input.entry');
      if (c.role) await e.locator(c.name, c.role).focus();
      else await e.locator(c.name, 'readout').click();
      await e.page.keyboard.type(c.typed);
      await e.page.keyboard.press(c.key);
      // Refused text keeps the field open with a message; Escape leaves it.
      if (c.refused) {
        assert.ok(await e.page.locator('#entry-error').isVisible());
        assert.match(await e.page.locator('#entry-error').innerText(), c.refused);
        assert.equal(await field.count(), 1);
        await e.page.keyboard.press('Escape');
      }
      assert.equal(await field.count(), 0);
      if (c.readout) assert.equal(await e.locator(c.name, 'readout').textContent(), c.readout);
      if (c.text) assert.equal(await e.text(c.name), c.text);
    });
    assert.deepEqual(edits, c.expect, `${c.name} <- ${c.typed}`);
    // Keys typed into the field stay in the page; only the release of the key that closed it reaches the host.
    assert.deepEqual(all.filter((m) => m.msg === 'SKPFUI').map((m) => [m.utf8, m.isUp]), [[c.refused ? 'Escape' : c.key, true]]);
  }
});

test('drags, double-click, arrow keys, switches, segments, menus and listen buttons send gestures', async () => {
  const { edits } = await editsOf(async (e) => {
    // A drag is one gesture: 250 px span the range, Shift is ten times finer, the ends hold.
    const drag = async (name, dy, steps) => {
      const c = await e.hoverKnob(name);
      await e.page.mouse.down();
      await e.page.mouse.move(c.x, c.y - dy, { steps });
      await e.page.mouse.up();
    };
    await drag('Low Boost', 50, 5);
    await e.page.keyboard.down('Shift');
    await drag('Output', 50, 1);
    await e.page.keyboard.up('Shift');
    await drag('Push-Pull Pivot', -400, 2);
    await e.run('SPVFD(0, 0.750000)');
    const c = await e.hoverKnob('Input');
    await e.page.mouse.dblclick(c.x, c.y);  // back to the default
    await e.page.locator('[data-param="Dynamic Tube"] .knob-svg').focus();
    await e.page.keyboard.press('ArrowUp');
    await e.page.keyboard.press('ArrowUp');
    await e.page.keyboard.press('Shift+ArrowDown');
    await e.locator('LF Filter', 'select').focus();
    await e.page.keyboard.press('ArrowRight');
    await e.locator('Clean', 'switch').click();
    // A click on the lit segment sends nothing.
    await e.page.locator('[data-param="LF Slope"] .seg > div', { hasText: '12' }).click();
    await e.page.locator('[data-param="LF Slope"] .seg > div', { hasText: '24' }).click();
    await e.locator('High Boost Freq', 'select').click();
    await e.page.locator('#menu div', { hasText: '16 kHz' }).click();
    await e.page.locator('[data-role="listen"][data-band="Mid Cut"]').click();
    await e.page.locator('[data-role="listen"][data-band="Mid Cut"]').click();
    await e.page.locator('[data-param="Mode"] .seg > div', { hasText: 'BAX' }).click();
  });
  assert.deepEqual(edits, [...gesture(3, 0.04, 0.08, 0.12, 0.16, 0.2), ...gesture(12, 0.52), ...gesture(44, 0), ...gesture(0, 0.5), ...gesture(28, 0.01), ...gesture(28, 0.02), ...gesture(28, 0.019), ...gesture(30, 1 / 6),
    ...gesture(13, 1), ...gesture(32, 1), ...gesture(8, 1), ...gesture(38, 0.5), ...gesture(38, 0), ...gesture(15, 1)]);
});

test('a wheel burst is one gesture that moves by the distance travelled; the page\'s shortcuts undo it', async () => {
  await session.withLoaded(async (editor) => {
    const { page } = editor;
    const mark = await editor.mark();
    await editor.hoverKnob('Output');
    for (let i = 0; i < 8; i++) await page.mouse.wheel(0, -10);  // an 80 px trackpad swipe
    await page.keyboard.press('Control+z');  // while the burst is still open
    await idle(500);
    const burst = gesture(kOutput, 0.501, 0.502, 0.503, 0.504, 0.505, 0.506, 0.507, 0.508);
    assert.deepEqual(await editor.edits(mark), [...burst, ...gesture(kOutput, 0.5)]);
    // The host is not sent the shortcut's key, so it does not undo as well.
    assert.deepEqual((await editor.posted(mark)).filter((m) => m.msg === 'SKPFUI' && m.utf8 === 'z'), []);
    await page.keyboard.press('Control+y');
    assert.equal(await editor.kyr('value', 'Output'), 0.508);
    await page.keyboard.press('Meta+Shift+z');  // nothing left to redo
    await page.keyboard.press('Meta+z');
    assert.equal(await editor.kyr('value', 'Output'), 0.5);
  });
});

test('A/B and history survive a reopened editor through the state the plug-in keeps', async () => {
  const stored = await session.withLoaded(async (editor) => {
    const mark = await editor.mark();
    await editor.page.locator('[data-cmd="Settings B"]').click();
    await editor.run('SPVFD(12, 0.700000)');
    await editor.hoverKnob('Output');
    await editor.page.mouse.wheel(0, -100);
    await editor.page.mouse.wheel(0, -100);
    await idle(1000);
    const states = (await editor.posted(mark)).filter((m) => m.msg === 'SAMFUI' && m.msgTag === 12);
    assert.ok(states.length >= 1 && states.length <= 2, 'posted once the changes settle');
    return Buffer.from(states.at(-1).data, 'base64').toString();
  });
  await session.withLoaded(async (editor) => {
    await editor.run('SPVFD(12, 0.720000)');
    const mark = await editor.mark();
    await editor.run(samfd(6, stored));
    assert.match(await editor.page.locator('[data-cmd="Settings B"]').getAttribute('class'), /\bon\b/);
    await editor.page.keyboard.press('Control+z');
    assert.deepEqual(await editor.edits(mark), gesture(kOutput, 0.7));
    assert.deepEqual(editor.pageErrors, []);
  });
});

test('the command buttons switch and copy A/B, reset all, undo and redo; the lit slot follows undo', async () => {
  await session.withLoaded(async (editor) => {
    const command = (title) => editor.page.locator(`[data-cmd="${title}"]`).click();
    const lit = () => editor.page.locator('[data-cmd^="Settings "].on').allTextContents();
    await editor.run('SPVFD(3, 0.500000)', 'SPVFD(25, 0.000000)');
    await command('Settings B');
    await editor.run('SPVFD(12, 0.750000)');  // a host change while B is lit
    let mark = await editor.mark();
    await command('Settings A');
    assert.deepEqual(await editor.edits(mark), gesture(kOutput, 0.5));
    // Undoing the switch brings B's values back with B lit.
    await command('Undo');
    assert.deepEqual([await editor.kyr('value', 'Output'), await lit()], [0.75, ['B']]);
    await command('Redo');
    assert.deepEqual([await editor.kyr('value', 'Output'), await lit()], [0.5, ['A']]);
    // Copy A to B, then switching sends nothing: both hold the same settings.
    await command('Copy the active settings to the other slot');
    mark = await editor.mark();
    await command('Settings B');
    assert.deepEqual(await editor.edits(mark), []);
    await command('Reset all parameters to their defaults');
    const reset = [...gesture(3, 0), ...gesture(25, 1)];
    assert.deepEqual(await editor.edits(mark), reset);
    assert.equal(await editor.text('BAX Link'), 'Linked');
    // Reset is one step, undone last change first.
    mark = await editor.mark();
    await command('Undo');
    await command('Redo');
    assert.deepEqual(await editor.edits(mark), [...gesture(25, 0), ...gesture(3, 0.5), ...reset]);
    assert.equal(await editor.page.locator('[data-cmd="Redo"].disabled').count(), 1);
    // Each switch stores the slot anew: B keeps the reset made while it was lit.
    await command('Settings A');
    mark = await editor.mark();
    await command('Settings B');
    assert.deepEqual(await editor.edits(mark), reset);
  });
});
