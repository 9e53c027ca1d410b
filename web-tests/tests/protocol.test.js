'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { useBrowser } = require('../harness/session');
const { kPagePath } = require('../harness/host');
const { payloadOf, loadPageData } = require('../harness/fixtures');

const session = useBrowser();

test('the plug-in\'s description message has its exact sizes and member order', () => {
  const statement = session.fixtures.params;
  assert.ok(/^SAMFD\(-1, 8113, '[A-Za-z0-9+/=]{8112}'\)$/.test(statement));
  const json = payloadOf(statement);
  assert.equal(Buffer.byteLength(json), 6082);
  assert.ok(json.startsWith('{"id":"params","params":[{"default":50.0,"display_type":0,"id":0,"max":100.0,"min":0.0,"name":"Input"'));
  assert.equal(session.fixtures.names.length, 53);
  assert.equal(session.fixtures.values.length, 53);
});

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

test('controls are built from the description with the plug-in\'s names', async () => {
  await session.withLoaded(async (editor) => {
    assert.deepEqual(await editor.kyr('names'), session.fixtures.names);
    // Every parameter has a control, visible in one of the two modes.
    const visible = async () => editor.page.evaluate(() => Array.from(document.querySelectorAll('[data-param]'))
      .filter((e) => e.offsetParent !== null).map((e) => e.dataset.param));
    const tube = await visible();
    await editor.run('SPVFD(15, 1.000000)');
    const bax = await visible();
    assert.deepEqual(session.fixtures.names.filter((n) => !tube.includes(n) && !bax.includes(n)), []);
    // The Mode switch shows the controls of the chosen mode only.
    assert.ok(tube.includes('Low Boost') && !tube.includes('BAX Lo Shelf L') && tube.includes('PP Low Cut'));
    assert.ok(bax.includes('BAX Lo Shelf L') && !bax.includes('Low Boost') && !bax.includes('LF Filter'));
    assert.ok(bax.includes('PP BAX Lo') && !bax.includes('PP Low Cut') && bax.includes('Output'));
  });
});

test('controls show the engine\'s texts with units; host values move them and send nothing back', async () => {
  await session.withLoaded(async (editor) => {
    // Every choice at its default shows the text the engine's parameter table gives it.
    const data = loadPageData().params;
    assert.deepEqual(data.map((p) => p.name), session.fixtures.names);
    for (const [i, p] of data.entries()) {
      const d = session.fixtures.descs[i];
      if (p.texts.length) assert.equal(await editor.text(p.name), p.texts[d.default - d.min], p.name);
    }
    assert.equal(await editor.text('Push-Pull Pivot'), '0.0 %');
    assert.equal(await editor.locator('High Boost Freq', 'select').textContent(), '10\u2009kHz');
    assert.equal(await editor.locator('Input', 'readout').textContent(), '50.0 %\u00a00.0 dB');
    assert.equal(await editor.locator('Clean', 'switch').innerText(), 'Tube');
    assert.equal(await editor.page.locator('[data-param="LF Slope"] .seg .on').innerText(), '12');
    const mark = await editor.mark();
    await editor.run('SPVFD(12, 0.625000)', 'SPVFD(8, 1.000000)', 'SPVFD(13, 1.000000)', 'SPVFD(44, 0.250000)');
    assert.equal(await editor.locator('Output', 'readout').textContent(), '62.5 %\u00a0+3.0 dB');
    assert.equal(await editor.text('High Boost Freq'), '16k');
    assert.equal(await editor.locator('Clean', 'switch').innerText(), 'Clean');
    assert.equal(await editor.locator('Push-Pull Pivot', 'readout').innerText(), '-50.0 %');
    assert.match(await editor.page.locator('[data-param="Output"] svg line').last().getAttribute('transform'), /^rotate\(33\.75 /);
    // A band amount shows the dB it adds at the frequency its selector shows, and follows it.
    await editor.run('SPVFD(3, 1.000000)');
    const lowBoostDb = async () => (await editor.locator('Low Boost', 'readout').textContent()).split('\u00a0')[1];
    const at60 = await lowBoostDb();
    assert.match(at60, /^\+\d+\.\d dB$/);
    await editor.run('SPVFD(4, 1.000000)');
    assert.notEqual(await lowBoostDb(), at60);
    assert.deepEqual(await editor.posted(mark), []);
  });
});

test('the vendor link is opened through the plug-in', async () => {
  await session.withLoaded(async (editor) => {
    const mark = await editor.mark();
    await editor.page.click('#brand');
    const [msg] = await editor.posted(mark);
    assert.deepEqual(Object.keys(msg), ['msg', 'msgTag', 'ctrlTag', 'data']);
    assert.deepEqual([msg.msg, msg.msgTag, msg.ctrlTag], ['SAMFUI', 10, -1]);
    assert.match(JSON.parse(Buffer.from(msg.data, 'base64').toString()).url, /^https:\/\//);
  });
});

test('the page runs without eval, network or console errors', async () => {
  // A document policy without 'unsafe-eval' makes any use of eval fail loudly.
  await session.withLoaded(async (editor) => {
    await editor.page.evaluate(() => {
      window.__violations = [];
      document.addEventListener('securitypolicyviolation', (e) => window.__violations.push(e.violatedDirective));
    });
    await editor.run(session.fixtures.meters);
    await editor.run(session.fixtures.spectrum);
    await editor.page.click('[data-param="Mode"] .seg > div:nth-child(2)');
    await editor.page.click('[data-param="Output"] [data-role="readout"]');
    await editor.page.keyboard.type('55');
    await editor.page.keyboard.press('Enter');
    await editor.frame();
    assert.deepEqual(await editor.page.evaluate(() => window.__violations), []);
    assert.deepEqual(editor.pageErrors, []);
    assert.deepEqual(editor.consoleErrors, []);
    assert.deepEqual(editor.requests, []);
    assert.equal(await editor.page.evaluate(() => performance.getEntriesByType('resource').length), 0);
  }, { csp: "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'" });
});
