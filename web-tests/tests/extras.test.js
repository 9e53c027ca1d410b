'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { useBrowser, gesture } = require('../harness/session');

const session = useBrowser();

async function typeValue(editor, name, text) {
  await editor.locator(name, 'readout').click();
  await editor.page.locator('input.entry').fill(text);
  await editor.page.keyboard.press('Enter');
}
const command = (editor, title) => editor.page.locator(`[data-cmd="${title}"]`).click();

test('undo and redo replay the page\'s own edits as gestures', async () => {
  await session.withLoaded(async (editor) => {
    await typeValue(editor, 'Output', '62.5');
    await editor.locator('Clean', 'switch').click();
    // Host automation is not an edit of the page and is not undone.
    await editor.run('SPVFD(0, 0.700000)');
    const mark = await editor.mark();
    await command(editor, 'Undo');
    await command(editor, 'Undo');
    assert.equal(await editor.text('Output'), '50.0 %');
    await command(editor, 'Redo');
    assert.deepEqual(await editor.edits(mark), [...gesture(13, 0), ...gesture(12, 0.5), ...gesture(12, 0.625)]);
    assert.equal(await editor.text('Input'), '70.0 %');
    assert.deepEqual(await editor.page.evaluate(() => [window.KyrEditor.stats().undo, window.KyrEditor.stats().redo]), [1, 1]);
    // A new edit clears what could be redone.
    await typeValue(editor, 'Output', '40');
    assert.equal(await editor.page.locator('[data-cmd="Redo"].disabled').count(), 1);
  });
});

test('A/B compare keeps two settings and switches them with gestures', async () => {
  await session.withLoaded(async (editor) => {
    let mark = await editor.mark();
    await command(editor, 'Settings B');
    assert.deepEqual(await editor.edits(mark), [], 'a fresh slot starts as a copy');
    await typeValue(editor, 'Output', '75');
    await editor.locator('LF Filter', 'select').click();
    await editor.page.locator('#menu div', { hasText: '40' }).click();
    mark = await editor.mark();
    await command(editor, 'Settings A');
    assert.deepEqual(await editor.edits(mark), [...gesture(12, 0.5), ...gesture(30, 0)]);
    mark = await editor.mark();
    await command(editor, 'Settings B');
    assert.deepEqual(await editor.edits(mark), [...gesture(12, 0.75), ...gesture(30, 4 / 6)]);
    // Copy B to A, then switching sends nothing: both hold the same settings.
    await command(editor, 'Copy the active settings to the other slot');
    mark = await editor.mark();
    await command(editor, 'Settings A');
    assert.deepEqual(await editor.edits(mark), []);
    // The switch is one undo step.
    await command(editor, 'Settings B');
    await typeValue(editor, 'Output', '20');
    await command(editor, 'Settings A');
    mark = await editor.mark();
    await command(editor, 'Undo');
    assert.deepEqual(await editor.edits(mark), gesture(12, 0.2));
  });
});

test('reset all returns every changed parameter to its default', async () => {
  await session.withLoaded(async (editor) => {
    await editor.runAll(['SPVFD(3, 0.400000)', 'SPVFD(25, 0.000000)', 'SPVFD(40, 0.900000)']);
    const mark = await editor.mark();
    await command(editor, 'Reset all parameters to their defaults');
    assert.deepEqual(await editor.edits(mark), [...gesture(3, 0), ...gesture(25, 1), ...gesture(40, 0.5)]);
    assert.equal(await editor.text('BAX Link'), 'Linked');
    await command(editor, 'Undo');
    assert.equal(await editor.text('Width'), '180 %');
  });
});
