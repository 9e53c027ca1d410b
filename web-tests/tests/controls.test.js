'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { useBrowser, gesture } = require('../harness/session');

const session = useBrowser();

// Runs fn on a freshly loaded editor and returns the parameter messages it caused.
function editsOf(fn) {
  return session.withLoaded(async (editor) => {
    const mark = await editor.mark();
    await fn(editor);
    return { edits: await editor.edits(mark), all: await editor.posted(mark) };
  });
}

async function dragKnob(editor, name, dy, { shift = false, steps = 5 } = {}) {
  const c = await editor.hoverKnob(name);
  const mouse = editor.page.mouse;
  if (shift) await editor.page.keyboard.down('Shift');
  await mouse.down();
  await mouse.move(c.x, c.y - dy, { steps });
  await mouse.up();
  if (shift) await editor.page.keyboard.up('Shift');
}


test('dragging a knob sends one gesture with normalised values', async () => {
  const { edits } = await editsOf((e) => dragKnob(e, 'Low Boost', 50));
  // 250 px span the whole range: 50 px in five moves is 20 % in steps of 4 %.
  assert.deepEqual(edits, gesture(3, 0.04, 0.08, 0.12, 0.16, 0.2));
});

test('dragging with Shift is ten times finer and down-drags stop at the minimum', async () => {
  const fine = await editsOf((e) => dragKnob(e, 'Output', 50, { shift: true, steps: 1 }));
  assert.deepEqual(fine.edits, gesture(12, 0.52));
  const down = await editsOf((e) => dragKnob(e, 'Push-Pull Pivot', -400, { steps: 2 }));
  assert.deepEqual(down.edits, gesture(44, 0));
});

test('double-click resets to the default', async () => {
  const { edits } = await editsOf(async (e) => {
    await e.run('SPVFD(0, 0.750000)');
    const c = await e.hoverKnob('Input');
    await e.page.mouse.dblclick(c.x, c.y);
  });
  assert.deepEqual(edits, gesture(0, 0.5));
});

test('a click on a value opens a text field; its keys stay in the page', async () => {
  // What each text means is the logic tests' concern; here: the field, its keys and its gesture.
  const cases = [
    { name: 'Output', typed: '62.5', key: 'Enter', expect: gesture(12, 0.625) },
    { name: 'Output', typed: '70', key: 'Escape', expect: [] },
    { name: 'Input', typed: 'loud', key: 'Enter', expect: [], refused: true },
  ];
  for (const c of cases) {
    const { all, edits } = await editsOf(async (e) => {
      await e.locator(c.name, 'readout').click();
      const field = e.page.locator('input.entry');
      assert.equal(await field.count(), 1);
      await e.page.keyboard.type(c.typed);
      await e.page.keyboard.press(c.key);
      // Refused text keeps the field open with a message; Escape leaves it.
      if (c.refused) {
        assert.ok(await e.page.locator('#entry-error').isVisible());
        assert.equal(await field.count(), 1);
        await e.page.keyboard.press('Escape');
      }
      assert.equal(await field.count(), 0);
    });
    assert.deepEqual(edits, c.expect, `${c.name} <- ${c.typed}`);
    // Keys typed into the field are not forwarded to the host; only the
    // release of the key that closed it, after the field has closed, is.
    const last = c.refused ? 'Escape' : c.key;
    assert.deepEqual(all.filter((m) => m.msg === 'SKPFUI').map((m) => [m.utf8, m.isUp]), [[last, true]]);
  }
});

test('arrow keys adjust the focused control', async () => {
  const { edits } = await editsOf(async (e) => {
    await e.page.locator('[data-param="Dynamic Tube"] .knob-svg').focus();
    await e.page.keyboard.press('ArrowUp');
    await e.page.keyboard.press('ArrowUp');
    await e.page.keyboard.press('Shift+ArrowDown');
    await e.locator('LF Filter', 'select').focus();
    await e.page.keyboard.press('ArrowRight');
  });
  assert.deepEqual(edits, [...gesture(28, 0.01), ...gesture(28, 0.02), ...gesture(28, 0.019), ...gesture(30, 1 / 6)]);
});

test('switches, segmented choices, menus and band listen buttons send gestures', async () => {
  const { edits } = await editsOf(async (e) => {
    await e.locator('Clean', 'switch').click();
    await e.page.locator('[data-param="LF Slope"] .seg > div', { hasText: '24' }).click();
    await e.locator('High Boost Freq', 'select').click();
    await e.page.locator('#menu div', { hasText: '16 kHz' }).click();
    await e.page.locator('[data-role="listen"][data-band="Mid Cut"]').click();
    assert.equal(await e.text('Band Listen'), 'Mid Cut');
    assert.equal(await e.locator('Band Listen', 'select').textContent(), 'Mid Cut');
    await e.page.locator('[data-role="listen"][data-band="Mid Cut"]').click();
    await e.page.locator('[data-param="Mode"] .seg > div', { hasText: 'BAX' }).click();
    assert.equal(await e.page.locator('[data-param="BAX Lo Shelf L"]').isVisible(), true);
    assert.equal(await e.page.locator('[data-param="Low Boost"]').isVisible(), false);
  });
  assert.deepEqual(edits, [
    ...gesture(13, 1), ...gesture(32, 1), ...gesture(8, 1), ...gesture(38, 0.5), ...gesture(38, 0), ...gesture(15, 1),
  ]);
});

test('stereo mode and link change the shelf captions', async () => {
  await session.withLoaded(async (editor) => {
    await editor.runAll(['SPVFD(15, 1.000000)']);
    const cap = () => editor.page.locator('[data-param="BAX Lo Shelf R"] .cap').textContent();
    assert.equal(await cap(), 'Lo Shelf R');
    assert.equal(await editor.page.locator('[data-param="BAX Lo Shelf R"].dim').count(), 1);
    await editor.runAll(['SPVFD(26, 1.000000)', 'SPVFD(25, 0.000000)']);
    assert.equal(await cap(), 'Lo Shelf S');
    assert.equal(await editor.page.locator('[data-param="BAX Lo Shelf R"].dim').count(), 0);
  });
});
