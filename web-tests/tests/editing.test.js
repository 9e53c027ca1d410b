'use strict';
// Typed values by unit, dB beside %, undo/redo/A-B with open gestures, the
// page state kept by the plug-in, the command buttons, and the wheel by distance.
const test = require('node:test');
const assert = require('node:assert/strict');
const { useBrowser, gesture } = require('../harness/session');
const { samfd } = require('../harness/fixtures');

const session = useBrowser();
const idle = (ms) => new Promise((r) => setTimeout(r, ms));
const stats = (editor) => editor.page.evaluate(() => window.KyrEditor.stats());
const kOutput = 12, kLowBoost = 3, kMidBoostFreq = 37;

test('values are typed in the unit typed; text that fits no unit is refused with a message', async () => {
  await session.withLoaded(async (editor) => {
    const error = editor.page.locator('#entry-error');
    const type = async (target, text) => {
      await target.click();
      await editor.page.keyboard.press('Control+A');
      await editor.page.keyboard.type(text);
      await editor.page.keyboard.press('Enter');
    };
    let mark = await editor.mark();
    await type(editor.locator('Output', 'readout'), '-3');
    assert.deepEqual(await editor.edits(mark), gesture(kOutput, 0.375));
    assert.equal(await editor.locator('Output', 'readout').textContent(), '37.5 %\u00a0-3.0 dB');

    // "1k" is no amount: nothing is sent, the field stays open and says what it takes.
    mark = await editor.mark();
    await type(editor.locator('Low Boost', 'readout'), '1k');
    assert.deepEqual(await editor.edits(mark), []);
    assert.ok(await error.isVisible());
    assert.match(await error.innerText(), /"1k" is not a value for Low Boost\. Type .*%/);
    assert.equal(await editor.page.locator('input.entry').count(), 1);
    await editor.page.keyboard.press('Escape');
    assert.equal(await editor.page.locator('input.entry').count(), 0);

    // A frequency typed at a selector snaps to its nearest entry.
    mark = await editor.mark();
    await editor.locator('Mid Boost Freq', 'select').focus();
    await editor.page.keyboard.type('650 Hz');
    await editor.page.keyboard.press('Enter');
    assert.deepEqual(await editor.edits(mark), gesture(kMidBoostFreq, 3 / 7));
    assert.equal(await editor.text('Mid Boost Freq'), '700');

    // A band amount shows the dB it adds at the frequency its selector shows, and follows it.
    await editor.run('SPVFD(3, 1.000000)');
    const lowBoostDb = async () => (await editor.locator('Low Boost', 'readout').textContent()).split('\u00a0')[1];
    const at60 = await lowBoostDb();
    assert.match(at60, /^\+\d+\.\d dB$/);
    await editor.run('SPVFD(4, 1.000000)');
    assert.notEqual(await lowBoostDb(), at60);
  });
});

test('undo closes an open wheel burst first; A/B stays lit in step with undo; shortcuts stay in the page', async () => {
  await session.withLoaded(async (editor) => {
    const { page } = editor;
    let mark = await editor.mark();
    await editor.hoverKnob('Output');
    await page.mouse.wheel(0, -100);
    await page.keyboard.press('Control+z');  // while the burst is still open
    await idle(500);
    assert.deepEqual(await editor.edits(mark), [...gesture(kOutput, 0.51), ...gesture(kOutput, 0.5)]);
    // The host is not sent the shortcut's key, so it does not undo as well.
    assert.deepEqual((await editor.posted(mark)).filter((m) => m.msg === 'SKPFUI' && m.utf8 === 'z'), []);
    assert.deepEqual([(await stats(editor)).undo, (await stats(editor)).redo], [0, 1]);
    await page.keyboard.press('Control+y');
    assert.equal(await editor.value('Output'), 0.51);
    await page.keyboard.press('Meta+Shift+z');  // nothing left to redo
    await page.keyboard.press('Meta+z');
    assert.equal(await editor.value('Output'), 0.5);

    // B, an edit, back to A, then undo: B's values come back with B lit.
    const slot = (s) => page.locator(`[data-cmd="Settings ${s}"]`);
    await slot('B').click();
    await editor.run('SPVFD(3, 0.400000)');  // a host change while B is lit
    await editor.hoverKnob('Low Boost');
    await page.mouse.wheel(0, -100);
    await slot('A').click();  // closes the burst before switching
    assert.equal(await editor.value('Low Boost'), 0);
    await page.keyboard.press('Control+z');
    assert.equal(await editor.value('Low Boost'), 0.41);
    assert.equal((await stats(editor)).slot, 1);
    assert.match(await slot('B').getAttribute('class'), /\bon\b/);
    assert.doesNotMatch(await slot('A').getAttribute('class'), /\bon\b/);

    // Band Listen is no undo step.
    const before = (await stats(editor)).undo;
    await page.locator('[data-role="listen"][data-band="Mid Boost"]').click();
    assert.equal((await stats(editor)).undo, before);
    mark = await editor.mark();
    await page.locator('[data-cmd="Undo"]').click();
    assert.deepEqual(await editor.edits(mark), gesture(kLowBoost, 0.4));
    assert.equal(await editor.text('Band Listen'), 'Mid Boost');
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
    const states = await editor.pageStates(mark);
    assert.ok(states.length >= 1 && states.length <= 2, 'posted once the changes settle');
    return { text: states.at(-1), stats: await stats(editor) };
  });
  await session.withLoaded(async (editor) => {
    await editor.run('SPVFD(12, 0.720000)');
    // Text it cannot read is ignored.
    for (const junk of ['{"v":1', 'not json', '{"v":1,"n":53,"active":5}']) await editor.run(samfd(6, junk));
    assert.deepEqual((await stats(editor)).undo, 0);
    const mark = await editor.mark();
    await editor.run(samfd(6, stored.text));
    const now = await stats(editor);
    assert.deepEqual([now.undo, now.redo, now.slot], [stored.stats.undo, stored.stats.redo, stored.stats.slot]);
    assert.match(await editor.page.locator('[data-cmd="Settings B"]').getAttribute('class'), /\bon\b/);
    await editor.page.keyboard.press('Control+z');
    assert.deepEqual(await editor.edits(mark), gesture(kOutput, 0.7));
    assert.deepEqual(editor.pageErrors, []);
  });
});

test('the wheel steps by distance and Shift gives fine steps, one gesture per burst', async () => {
  await session.withLoaded(async (editor) => {
    const { page } = editor;
    let mark = await editor.mark();
    await editor.hoverKnob('Output');
    for (let i = 0; i < 8; i++) await page.mouse.wheel(0, -10);  // an 80 px trackpad swipe
    await idle(600);
    const swipe = await editor.edits(mark);
    assert.deepEqual([swipe[0], swipe.at(-1)], gesture(kOutput));
    assert.equal(swipe.filter((m) => m.msg === 'BPCFUI').length, 1);
    assert.equal(swipe.at(-2).value, 0.508);

    mark = await editor.mark();
    await page.keyboard.down('Shift');
    await page.mouse.wheel(-100, 0);
    await page.mouse.wheel(0, -100);
    await page.keyboard.up('Shift');
    await idle(600);
    assert.deepEqual(await editor.edits(mark), gesture(kOutput, 0.509, 0.51));
    // Mouse notches step by 1 %, a burst of them is one gesture.
    mark = await editor.mark();
    for (let i = 0; i < 2; i++) await page.mouse.wheel(0, -100);
    await idle(600);
    assert.deepEqual(await editor.edits(mark), gesture(kOutput, 0.52, 0.53));

    // A frequency selector: a short swipe does not run it from end to end.
    mark = await editor.mark();
    await editor.locator('High Boost Freq', 'select').hover();
    for (let i = 0; i < 8; i++) await page.mouse.wheel(0, 10);
    await idle(600);
    assert.deepEqual(await editor.edits(mark), []);
    await page.mouse.wheel(0, 100);  // a notch steps a choice by one entry
    await idle(600);
    assert.deepEqual(await editor.edits(mark), gesture(8, 4 / 7));
  });
});

test('the command buttons switch and copy A/B, reset all, undo and redo', async () => {
  await session.withLoaded(async (editor) => {
    const command = (title) => editor.page.locator(`[data-cmd="${title}"]`).click();
    await editor.run('SPVFD(25, 0.000000)');
    await command('Settings B');
    await editor.locator('Output', 'readout').click();
    await editor.page.locator('input.entry').fill('75');
    await editor.page.keyboard.press('Enter');
    let mark = await editor.mark();
    await command('Settings A');
    assert.deepEqual(await editor.edits(mark), gesture(kOutput, 0.5));
    // Copy A to B, then switching sends nothing: both hold the same settings.
    await command('Copy the active settings to the other slot');
    mark = await editor.mark();
    await command('Settings B');
    assert.deepEqual(await editor.edits(mark), []);
    await command('Reset all parameters to their defaults');
    assert.deepEqual(await editor.edits(mark), gesture(25, 1));
    assert.equal(await editor.text('BAX Link'), 'Linked');
    mark = await editor.mark();
    await command('Undo');
    await command('Redo');
    assert.deepEqual(await editor.edits(mark), [...gesture(25, 0), ...gesture(25, 1)]);
    assert.equal(await editor.page.locator('[data-cmd="Redo"].disabled').count(), 1);
  });
});
