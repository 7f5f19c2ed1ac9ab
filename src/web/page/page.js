'use strict';
// The instrument's page: renders what /api/state says, follows /api/events,
// and sends every change as JSON with the page's token.

const token = document.querySelector('meta[name="g740-token"]').content;
let sessionToken = '';        // after a login, beyond loopback
let texts = {};
let access = {};
let fieldsBuilt = false;
let revision = -1;
let lastSweep = null;
const SVG = 'http://www.w3.org/2000/svg';

const $ = (id) => document.getElementById(id);

// Changes are possible here: on loopback, or after a login beyond it.
function mayChange() {
  return Boolean(access.canChange) && (!access.needsLogin || Boolean(sessionToken));
}

function element(tag, attributes = {}, text) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  if (text !== undefined) node.textContent = text;
  return node;
}

function say(text, isError) {
  const message = $('message');
  message.textContent = text || '';
  message.className = isError ? 'error' : '';
}

async function post(path, body) {
  try {
    const response = await fetch(path, {
      method: 'POST',
      headers: { 'Content-Type': 'application/json', 'X-G740-Token': sessionToken || token },
      body: JSON.stringify(body || {}),
    });
    const answer = await response.json().catch(() => ({}));
    if (!response.ok) {
      say(answer.error || response.statusText, true);
      return null;
    }
    say(texts.done || '');
    return answer;
  } catch (error) {
    say(String(error), true);
    return null;
  }
}

function applyTexts() {
  for (const node of document.querySelectorAll('[data-text]')) {
    const text = texts[node.dataset.text];
    if (text !== undefined) node.textContent = text;
  }
}

function limitsText(field) {
  if (field.choices) return '';
  const format = (value) => (Number.isInteger(value) ? String(value) : String(+value.toFixed(6)));
  return format(field.min) + ' … ' + format(field.max) + (field.unit ? ' ' + field.unit : '');
}

// The produced value shown beside a desired one.
const producedBeside = {
  StartFrequency: 'StartFrequency',
  FrequencyIncrement: 'FrequencyIncrement',
  NumberOfIncrements: 'FinalFrequency',
  BaseIntervalsNumber: 'IncrementDuration',
  MasterClock: 'MasterClock',
  AnalogOutputsGainIndex: 'Output10OhmV',
  Output10OhmOffset: 'Offset',
};

function buildFields(fields) {
  const body = $('fields').tBodies[0];
  body.textContent = '';
  for (const field of fields) {
    const row = element('tr', { id: 'row-' + field.name });
    const labelCell = element('th', { scope: 'row' });
    const label = element('label', { for: 'field-' + field.name }, field.label);
    labelCell.append(label);
    const limits = limitsText(field);
    if (limits) labelCell.append(element('small', {}, limits));
    labelCell.append(element('small', { class: 'lock', id: 'lock-' + field.name }));
    const inputCell = element('td');
    let input;
    if (field.choices) {
      input = element('select', { id: 'field-' + field.name });
      field.choices.forEach((choice, index) => input.append(element('option', { value: String(index) }, choice)));
      input.addEventListener('change', () => sendField(field.name, Number(input.value)));
    } else {
      input = element('input', { type: 'text', id: 'field-' + field.name, inputmode: 'decimal', autocomplete: 'off', spellcheck: 'false' });
      if (field.unit) input.setAttribute('aria-describedby', 'unit-' + field.name);
      input.addEventListener('change', () => sendField(field.name, input.value.trim()));
      input.addEventListener('keydown', (event) => {
        if (event.key === 'Escape') { input.value = input.dataset.shown || ''; input.blur(); }
      });
    }
    inputCell.append(input);
    const producedCell = element('td', { id: 'actual-' + field.name });
    row.append(labelCell, inputCell, producedCell);
    body.append(row);
  }
  fieldsBuilt = true;
}

async function sendField(name, value) {
  await post('/api/record', { [name]: value });
}

// The panel's lock text names the field first; the row already does.
function lockText(field) {
  const prefix = field.name + ': ';
  return field.locked && field.locked.startsWith(prefix) ? field.locked.slice(prefix.length) : field.locked || '';
}

function showFields(fields, produced, running) {
  const byId = Object.fromEntries(produced.map((item) => [item.id, item]));
  for (const field of fields) {
    const input = $('field-' + field.name);
    if (!input) continue;
    const shown = field.choices ? String(field.value) : field.text;
    // A value being typed is left alone; the rest follows the instrument.
    if (document.activeElement !== input || input.tagName === 'SELECT') input.value = shown;
    input.dataset.shown = shown;
    // As in the window: nothing changes while the generator runs.
    input.disabled = Boolean(field.locked) || running || !mayChange();
    input.title = lockText(field);
    $('lock-' + field.name).textContent = lockText(field);
    const beside = byId[producedBeside[field.name]];
    $('actual-' + field.name).textContent = beside ? beside.text + (beside.unit ? ' ' + beside.unit : '') : '';
  }
}

function showProduced(produced) {
  const body = $('produced').tBodies[0];
  body.textContent = '';
  for (const item of produced) {
    const row = element('tr');
    row.append(element('th', { scope: 'row' }, item.label), element('td', { class: 'value', id: 'produced-' + item.id }, item.text),
      element('td', { class: 'unit' }, item.unit));
    body.append(row);
  }
}

function showSets(sets, running) {
  const list = $('set-list');
  const chosen = list.value;
  list.textContent = '';
  for (const name of sets) list.append(element('option', { value: name }, name));
  if (sets.includes(chosen)) list.value = chosen;
  list.disabled = sets.length === 0;
  if (sets.length === 0) list.append(element('option', { value: '' }, texts.noSets || ''));
  $('set-load').disabled = sets.length === 0 || !mayChange() || running;
  $('set-save').disabled = !mayChange();
}

function showIdentity(identity) {
  document.title = identity.model + (identity.slot === null ? '' : ' · ' + identity.slot);
  $('title').textContent = (texts.title || '%1').replace('%1', identity.model);
  const lamp = $('module-state');
  lamp.className = 'lamp' + (identity.moduleReady ? ' ready' : '');
  lamp.textContent = (texts.module || '') + ': ' + (identity.moduleReady ? texts.moduleReady : texts.moduleMissing);
  const list = $('identity');
  list.textContent = '';
  const rows = [
    [texts.maker, identity.maker], [texts.model, identity.model],
    [texts.slot, identity.slot === null ? texts.noSlot : String(identity.slot)],
    [texts.module, identity.moduleReady ? texts.moduleReady : texts.moduleMissing],
    [texts.programVersion, identity.programVersion], [texts.libraryVersion, identity.libraryVersion || texts.notAvailable],
  ];
  for (const [term, value] of rows) list.append(element('dt', {}, term), element('dd', {}, value));
}

function showResources(resources, remoteOn) {
  const list = $('resources');
  list.textContent = '';
  resources.forEach((resource, index) => {
    const item = element('li');
    const field = element('input', { type: 'text', readonly: '', value: resource, id: 'resource-' + index, 'aria-label': texts.resources });
    const copy = element('button', { type: 'button', class: 'secondary' }, texts.copy);
    copy.addEventListener('click', async () => {
      field.select();
      try {
        await navigator.clipboard.writeText(resource);
      } catch (error) {
        document.execCommand('copy'); // no clipboard API off loopback over plain HTTP
      }
      say(texts.copied);
    });
    item.append(field, copy);
    list.append(item);
  });
  if (!remoteOn) list.append(element('li', { class: 'note' }, texts.remoteOff));
}

function showRunning(running) {
  const run = $('run-state');
  run.textContent = (texts.generator || '') + ': ' + (running ? texts.running : texts.stopped);
  run.className = 'run' + (running ? ' running' : '');
  $('start').disabled = running || !mayChange();
  $('stop').disabled = !running || !mayChange();
}

function showAccess() {
  const readOnly = $('read-only');
  readOnly.hidden = !access.readOnlyReason && !(access.needsLogin && !sessionToken);
  readOnly.textContent = access.readOnlyReason || texts.readOnly || '';
  $('login').hidden = !(access.needsLogin && !sessionToken);
}

function showState(state) {
  if (!fieldsBuilt) buildFields(state.fields);
  showIdentity(state.identity);
  showRunning(state.running);
  showFields(state.fields, state.produced, state.running);
  showProduced(state.produced);
  showSets(state.sets, state.running);
  if (state.revision !== revision) {
    revision = state.revision;
    loadSweep();
  }
}

async function loadSweep() {
  const asked = revision;
  const response = await fetch('/api/sweep');
  if (!response.ok || asked !== revision) return;
  lastSweep = await response.json();
  drawSweep(lastSweep);
}

function drawSweep(sweep) {
  const summary = $('sweep-summary');
  summary.textContent = '';
  for (const item of sweep.summary) {
    summary.append(element('dt', {}, item.label), element('dd', { id: 'sweep-' + summary.children.length / 2 }, item.text + (item.unit ? ' ' + item.unit : '')));
  }
  const svg = $('chart');
  const width = Math.max(200, svg.clientWidth || 600);
  const height = Math.max(120, svg.clientHeight || 260);
  svg.setAttribute('viewBox', `0 0 ${width} ${height}`);
  svg.textContent = '';
  const values = sweep.produced.concat(sweep.desired).filter((value) => value !== null);
  const xs = sweep.x.filter((value) => value !== null);
  if (values.length === 0 || xs.length === 0) return;
  const left = 64, right = 8, top = 8, bottom = sweep.pulseX.length ? 40 : 24;
  let low = Math.min(...values), high = Math.max(...values);
  if (high === low) { high += 1; low -= 1; }
  const xLow = Math.min(...xs), xHigh = Math.max(...xs) === xLow ? xLow + 1 : Math.max(...xs);
  const sx = (x) => left + ((x - xLow) / (xHigh - xLow)) * (width - left - right);
  const sy = (y) => top + (1 - (y - low) / (high - low)) * (height - top - bottom);
  const line = (cls, points) => {
    const node = document.createElementNS(SVG, 'polyline');
    node.setAttribute('class', cls);
    node.setAttribute('points', points.join(' '));
    svg.append(node);
  };
  const label = (x, y, text, anchor) => {
    const node = document.createElementNS(SVG, 'text');
    node.setAttribute('x', x); node.setAttribute('y', y);
    node.setAttribute('text-anchor', anchor);
    node.textContent = text;
    svg.append(node);
  };
  line('axis', [`${left},${top}`, `${left},${height - bottom}`, `${width - right},${height - bottom}`]);
  label(left - 4, top + 10, +high.toFixed(4) + '', 'end');
  label(left - 4, height - bottom, +low.toFixed(4) + '', 'end');
  label(width - right, height - bottom + 14, +xHigh.toPrecision(6) + (sweep.byTime ? ' ' + texts.ms : ''), 'end');
  for (const [first, last] of sweep.runs) {
    const points = [];
    for (let i = first; i < last; ++i) points.push(`${sx(sweep.x[i]).toFixed(1)},${sy(sweep.produced[i]).toFixed(1)}`);
    line('produced', points);
  }
  // Dashed over the line: where the two agree, both stay visible.
  line('desired', sweep.x.map((x, i) => `${sx(x).toFixed(1)},${sy(sweep.desired[i]).toFixed(1)}`));
  if (sweep.pulseX.length) {
    const base = height - 12;
    line('pulse', [`${left},${base}`, `${width - right},${base}`]);
    for (const x of sweep.pulseX) line('pulse', [`${sx(x).toFixed(1)},${base}`, `${sx(x).toFixed(1)},${base - 8}`]);
  }
  $('chart').setAttribute('aria-label', texts.chartTitle || '');
  $('chart-caption').textContent = (texts.chartTitle || '') + (sweep.byTime ? '' : '; ' + (texts.byCtrl || ''));
}

function follow() {
  const events = new EventSource('/api/events');
  events.addEventListener('state', (event) => {
    if ($('message').textContent === texts.connectionLost) say('');
    showState(JSON.parse(event.data));
  });
  events.addEventListener('error', () => say(texts.connectionLost, true));
}

async function start() {
  const response = await fetch('/api/state');
  const state = await response.json();
  texts = state.texts;
  access = state.access;
  applyTexts();
  showAccess();
  showResources(state.resources, state.resources.some((resource) => resource.endsWith('::SOCKET')));
  showState(state);
  follow();
}

$('start').addEventListener('click', () => post('/api/start'));
$('stop').addEventListener('click', () => post('/api/stop'));
$('set-load').addEventListener('click', () => post('/api/sets/load', { name: $('set-list').value }));
$('set-save').addEventListener('click', async () => {
  if (await post('/api/sets/save', { name: $('set-name').value.trim() })) $('set-name').value = '';
});
$('login').addEventListener('submit', async (event) => {
  event.preventDefault();
  const answer = await post('/api/login', { password: $('password').value });
  $('password').value = '';
  if (answer && answer.token) {
    sessionToken = answer.token;
    showAccess();
    const response = await fetch('/api/state');
    showState(await response.json());
  }
});
window.addEventListener('resize', () => { if (lastSweep) drawSweep(lastSweep); });
start();
