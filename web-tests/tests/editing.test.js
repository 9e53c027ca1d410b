'use strict';
// Undo/redo/A-B through the page's shortcuts and buttons, the page state kept by the plug-in, the wheel.
const test = require('node:test');
const assert = require('node:assert/strict');
const { useBrowser, gesture } = require('../harness/session');
const { samfd } = require('../harness/fixtures');

const session = useBrowser();
const idle = (ms) => new Promise((r) => setTimeout(r, ms));
const kOutput = 12, kLowBoost = 3;

test('shortcuts undo and redo in the page, an open wheel burst first; A/B stays lit in step with undo', async () => {
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
    await page.keyboard.press('Control+y');
    assert.equal(await editor.kyr('value', 'Output'), 0.51);
    await page.keyboard.press('Meta+Shift+z');  // nothing left to redo
    await page.keyboard.press('Meta+z');
    assert.equal(await editor.kyr('value', 'Output'), 0.5);

    // B, a host change, back to A, then undo: B's values come back with B lit.
    const slot = (s) => page.locator(`[data-cmd="Settings ${s}"]`);
    await slot('B').click();
    await editor.run('SPVFD(3, 0.400000)');
    await slot('A').click();
    mark = await editor.mark();
    await page.locator('[data-cmd="Undo"]').click();
    assert.deepEqual(await editor.edits(mark), gesture(kLowBoost, 0.4));
    assert.match(await slot('B').getAttribute('class'), /\bon\b/);
    assert.doesNotMatch(await slot('A').getAttribute('class'), /\bon\b/);
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
    return { text: Buffer.from(states.at(-1).data, 'base64').toString(), stats: await editor.kyr('stats') };
  });
  await session.withLoaded(async (editor) => {
    await editor.run('SPVFD(12, 0.720000)');
    const mark = await editor.mark();
    await editor.run(samfd(6, stored.text));
    const now = await editor.kyr('stats');
    assert.deepEqual([now.undo, now.redo, now.slot], [stored.stats.undo, stored.stats.redo, stored.stats.slot]);
    assert.match(await editor.page.locator('[data-cmd="Settings B"]').getAttribute('class'), /\bon\b/);
    await editor.page.keyboard.press('Control+z');
    assert.deepEqual(await editor.edits(mark), gesture(kOutput, 0.7));
    assert.deepEqual(editor.pageErrors, []);
  });
});

test('the wheel steps by distance and Shift gives fine steps from either axis, one gesture per burst', async () => {
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

    // A frequency selector: a short swipe does not run it from end to end; a notch steps one entry.
    mark = await editor.mark();
    await editor.locator('High Boost Freq', 'select').hover();
    for (let i = 0; i < 8; i++) await page.mouse.wheel(0, 10);
    await page.mouse.wheel(0, 100);
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
