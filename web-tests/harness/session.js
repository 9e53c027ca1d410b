'use strict';
// One browser per test file; each test opens its own editor page in a fresh
// context and closes it afterwards.

const { before, after } = require('node:test');
const { launch, openEditor } = require('./host');
const { loadFixtures } = require('./fixtures');

function useBrowser() {
  const session = { browser: null, fixtures: loadFixtures() };
  before(async () => { session.browser = await launch(); });
  after(async () => { if (session.browser) await session.browser.close(); });
  // An editor page with the plug-in's page-load sequence already run.
  session.loaded = async (options) => {
    const editor = await openEditor(session.browser, options);
    await editor.load(session.fixtures);
    return editor;
  };
  session.blank = (options) => openEditor(session.browser, options);
  return session;
}

// The gesture messages that one complete edit of a parameter produces.
function gesture(paramIdx, ...values) {
  return [
    { msg: 'BPCFUI', paramIdx },
    ...values.map((value) => ({ msg: 'SPVFUI', paramIdx, value })),
    { msg: 'EPCFUI', paramIdx },
  ];
}

module.exports = { useBrowser, gesture };
