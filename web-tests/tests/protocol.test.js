'use strict';
// The plug-in's messages to the page, well-formed and otherwise, and what the page is made of.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { useBrowser, gesture, kPagePath } = require('../harness/host');

const session = useBrowser();

test('the page defines the five entry points first and is self-contained', () => {
  const html = fs.readFileSync(kPagePath, 'utf8');
  const firstScript = /<script>([\s\S]*?)<\/script>/.exec(html)[1];
  for (const name of ['SPVFD', 'SCVFD', 'SCMFD', 'SAMFD', 'SMMFD']) {
    assert.match(firstScript, new RegExp(`^function ${name}\\(`, 'm'), name);
  }
  assert.ok(html.indexOf('<script>') < html.indexOf('<style>'), 'entry points come before anything else');
  assert.doesNotMatch(html, /<script[^>]+src=|<link[^>]+href=|url\((?!#)|@import|https?:\/\/(?!www\.w3\.org\/2000\/svg|www\.oskel-audio\.example)/);
  assert.doesNotMatch(html, /\beval\s*\(|new\s+Function\s*\(|setTimeout\s*\(\s*['"`]/);
});

test('controls are built from the description with the plug-in\'s names and units; host values move them, sending nothing', async () => {
  await session.withLoaded(async (editor) => {
    assert.equal(await editor.locator('High Boost Freq', 'select').textContent(), '10\u2009kHz');
    assert.equal(await editor.page.locator('[data-param="LF Slope"] .seg .on').innerText(), '12');
    const mark = await editor.mark();
    await editor.run('SPVFD(12, 0.625000)', 'SPVFD(8, 1.000000)', 'SPVFD(13, 1.000000)', 'SPVFD(44, 0.250000)');
    assert.equal(await editor.locator('Output', 'readout').textContent(), '62.5 %\u00a0+3.0 dB');
    assert.equal(await editor.locator('Clean', 'switch').innerText(), 'Clean');
    assert.equal(await editor.locator('High Boost Freq', 'select').textContent(), '16\u2009kHz');
    // A band amount shows the dB it adds at the frequency its selector shows, and follows it.
    await editor.run('SPVFD(3, 1.000000)');
    const lowBoost = () => editor.locator('Low Boost', 'readout').textContent();
    const at60 = await lowBoost();
    await editor.run('SPVFD(4, 1.000000)');
    assert.match(await lowBoost(), /^100\.0 %\u00a0\+\d+\.\d dB$/);
    assert.notEqual(await lowBoost(), at60);
    assert.deepEqual(await editor.posted(mark), []);
    assert.deepEqual(await editor.kyr('names'), session.fixtures.names);
    // Every parameter has a control, visible in one of the two modes.
    const visible = async () => editor.page.evaluate(() => Array.from(document.querySelectorAll('[data-param]'))
      .filter((e) => e.offsetParent !== null).map((e) => e.dataset.param));
    const tube = await visible();
    await editor.run('SPVFD(15, 1.000000)');
    const bax = await visible();
    assert.deepEqual(session.fixtures.names.filter((n) => !tube.includes(n) && !bax.includes(n)), []);
    // The Mode switch shows the controls of the chosen mode only.
    assert.ok(tube.includes('PP Low Cut') && !tube.includes('BAX Lo Shelf L') && !tube.includes('PP BAX Lo'));
    assert.ok(bax.includes('PP BAX Lo') && !bax.includes('Low Boost') && !bax.includes('PP Low Cut') && bax.includes('Output'));
  });
});

const b64 = (text) => Buffer.from(text).toString('base64');

// Statements a confused, cut or hostile plug-in side could run. Each must leave the page as it was.
const kBadStatements = [
  "SAMFD(-1, 5, 'not base64!')", "SAMFD(-1, 9, 'e30=')", `SAMFD(-1, 20, '${b64('[1,2')}')`,
  `SAMFD(-1, 20, '${b64('{"id":"params","params":7}')}')`,
  `SAMFD(-1, 20, '${b64('{"id":"params","params":[{"id":"x","name":3}]}')}')`,
  `SAMFD(-1, 20, '${b64('{"id":"params","params":[{"id":0,"name":"Input","min":5,"max":5,"default":5}]}')}')`,
  "SAMFD(0, 5, '////')", `SAMFD(0, 9, '${b64('{"t":"meters","tp":"loud","lufs":null,"ppg":"x"}')}')`,
  `SAMFD(0, 9, '${b64('{"t":"other","tp":3}')}')`, "SAMFD(3, 461, 'QUJD')",
  `SAMFD(3, 9, '${b64(Buffer.alloc(255).toString('base64'))}')`, "SAMFD(7, 1, '')", 'SAMFD()', 'SAMFD(-1, 3, 12345)',
  "SPVFD('Output', 0.5)", 'SPVFD(12, NaN)', 'SPVFD(12, Infinity)', 'SPVFD(999, 0.5)', 'SPVFD(-4, 0.5)', 'SPVFD(2.5, 0.5)',
  'SPVFD()', 'SCVFD(12, 0.25)', "SCMFD(1, 2, 3, 'AAAA')", 'SMMFD(144, 60, 100)',
];

test('malformed or unexpected statements leave the page working, without eval, network or console errors', async () => {
  // A document policy without 'unsafe-eval' makes any use of eval fail loudly.
  await session.withLoaded(async (editor) => {
    await editor.page.evaluate(() => {
      window.__violations = [];
      document.addEventListener('securitypolicyviolation', (e) => window.__violations.push(e.violatedDirective));
    });
    let mark = await editor.mark();
    await editor.run('SPVFD(12, 0.625000)', session.fixtures.meters);
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
    // Still working: host values, pictures and edits.
    await editor.run('SPVFD(3, 0.250000)', session.fixtures.spectrum);
    assert.match(await editor.locator('Low Boost', 'readout').textContent(), /^25\.0 %\u00a0\+\d+\.\d dB$/);
    assert.equal((await editor.kyr('stats')).spectra, 1);
    await editor.page.click('[data-param="Mode"] .seg > div:nth-child(2)');
    await editor.page.click('[data-param="Output"] [data-role="readout"]');
    await editor.page.keyboard.type('55');
    await editor.page.keyboard.press('Enter');
    assert.deepEqual(await editor.edits(mark), [...gesture(15, 1), ...gesture(12, 0.55)]);
    // The vendor link is opened through the plug-in, not by the page.
    mark = await editor.mark();
    await editor.page.click('#brand');
    const [msg] = await editor.posted(mark);
    assert.deepEqual(Object.keys(msg), ['msg', 'msgTag', 'ctrlTag', 'data']);
    assert.deepEqual([msg.msg, msg.msgTag, msg.ctrlTag], ['SAMFUI', 10, -1]);
    assert.match(JSON.parse(Buffer.from(msg.data, 'base64').toString()).url, /^https:\/\//);
    await editor.frame();
    assert.deepEqual(await editor.page.evaluate(() => window.__violations), []);
    assert.deepEqual([editor.pageErrors, editor.consoleErrors, editor.requests], [[], [], []]);
    assert.equal(await editor.page.evaluate(() => performance.getEntriesByType('resource').length), 0);
  }, { csp: "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'" });
});

test('statements before the descriptions or the page\'s script are kept and applied in order', async () => {
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
    assert.deepEqual(editor.pageErrors, []);
  });
});
