'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { useBrowser, gesture } = require('../harness/session');
const { samfd } = require('../harness/fixtures');

const session = useBrowser();

const b64 = (text) => Buffer.from(text).toString('base64');

// Statements a confused, cut or hostile plug-in side could run. Each must leave the page as it was.
const kBadStatements = [
  "SAMFD(-1, 5, 'not base64!')",
  "SAMFD(-1, 9, 'e30=')",
  `SAMFD(-1, 20, '${b64('{"id":"params","params":7}')}')`,
  `SAMFD(-1, 20, '${b64('{"id":"params","params":[{"id":"x","name":3}]}')}')`,
  `SAMFD(-1, 20, '${b64('{"id":"params","params":[{"id":0,"name":"Input","min":5,"max":5,"default":5}]}')}')`,
  `SAMFD(-1, 20, '${b64('[1,2')}')`,
  "SAMFD(0, 5, '////')",
  `SAMFD(0, 9, '${b64('{"t":"meters","tp":"loud","lufs":null,"ppg":"x"}')}')`,
  `SAMFD(0, 9, '${b64('{"t":"other","tp":3}')}')`,
  "SAMFD(3, 461, 'QUJD')",
  `SAMFD(3, 9, '${b64(Buffer.alloc(255).toString('base64'))}')`,
  "SAMFD(7, 1, '')",
  'SAMFD()',
  'SAMFD(-1, 3, 12345)',
  "SPVFD('Output', 0.5)",
  'SPVFD(12, NaN)',
  'SPVFD(12, Infinity)',
  'SPVFD(999, 0.5)',
  'SPVFD(-4, 0.5)',
  'SPVFD(2.5, 0.5)',
  'SPVFD()',
  'SCVFD(12, 0.25)',
  "SCMFD(1, 2, 3, 'AAAA')",
  'SMMFD(144, 60, 100)',
];

test('malformed or unexpected statements leave the page working', async () => {
  await session.withLoaded(async (editor) => {
    const mark = await editor.mark();
    await editor.run('SPVFD(12, 0.625000)');
    await editor.run(session.fixtures.meters);
    const meters = await editor.kyr('meters');
    await editor.run(kBadStatements);
    // A statement cut at the length limit does not even parse; the page keeps going.
    await assert.rejects(editor.run(session.fixtures.params.slice(0, 200)));
    assert.equal(await editor.text('Output'), '62.5 %');
    assert.deepEqual(await editor.kyr('meters'), meters);
    assert.equal((await editor.kyr('names')).length, 53);
    assert.deepEqual(await editor.edits(mark), []);
    // Values outside 0..1 are limited to it.
    await editor.run('SPVFD(12, 1.700000)');
    assert.equal(await editor.text('Output'), '100.0 %');
    // Still working: host values, edits and pictures.
    await editor.run('SPVFD(3, 0.250000)');
    assert.match(await editor.locator('Low Boost', 'readout').textContent(), /^25\.0 %\u00a0\+\d+\.\d dB$/);
    await editor.locator('Clean', 'switch').click();
    assert.deepEqual(await editor.edits(mark), gesture(13, 1));
    await editor.run(session.fixtures.spectrum);
    assert.equal((await editor.kyr('stats')).spectra, 1);
    assert.deepEqual(editor.pageErrors, []);
    assert.deepEqual(editor.consoleErrors, []);
  });
});

test('statements before the descriptions or the page\'s script are kept; descriptions rebuild the controls', async () => {
  await session.withBlank(async (editor) => {
    // Values that arrive before their descriptions wait for them.
    await editor.run('SPVFD(12, 0.750000)', session.fixtures.meters);
    // Statements the plug-in runs before the editor's script has run wait in order in the inbox.
    const [, tag, size, data] = /^SAMFD\((-?\d+), (\d+), '([^']*)'\)$/.exec(session.fixtures.params);
    await editor.page.evaluate((params) => {
      const saved = window.gKyrHandler;
      window.gKyrHandler = null;
      SAMFD(...params);
      SPVFD(0, 0.1);
      SPVFD(0, 0.9);
      const queued = window.gKyrInbox;
      window.gKyrInbox = [];
      window.gKyrHandler = saved;
      queued.forEach((item) => window.KyrDeliver(item[0], item[1]));
    }, [Number(tag), Number(size), data]);
    assert.equal(await editor.text('Output'), '75.0 %');
    assert.equal(await editor.text('Input'), '90.0 %');
    assert.equal(await editor.page.locator('#root.ready').count(), 1);
    // A repeated description rebuilds the controls and keeps the values.
    await editor.run('SPVFD(7, 0.450000)', 'SPVFD(15, 1.000000)', session.fixtures.params);
    assert.equal(await editor.text('High Boost'), '45.0 %');
    assert.equal(await editor.page.evaluate(() => document.body.className), 'mode-1');
    assert.equal(await editor.page.locator('[data-param="High Boost"]').count(), 1);
    // A parameter the page does not know still gets a control.
    await editor.run(samfd(-1, JSON.stringify({ id: 'params', params: [
      { default: 50.0, display_type: 0, id: 0, max: 100.0, min: 0.0, name: 'Input', rate: 'control', type: 'float' },
      { default: 1.0, display_type: 0, id: 1, max: 4.0, min: 0.0, name: 'Saturation Colour', rate: 'control', type: 'enum' },
    ] })));
    assert.equal(await editor.page.locator('#spare [data-param="Saturation Colour"]').count(), 1);
    assert.equal(await editor.text('Saturation Colour'), '1');
    assert.deepEqual(editor.pageErrors, []);
  });
});
