// The browser learner: a sweep fed by the host's samples, and poll buttons. No framework.
'use strict';
(() => {
  const canvas = document.getElementById('monitor');
  const ctx = canvas.getContext('2d');
  const statusLine = document.getElementById('status');
  const pollBox = document.getElementById('poll');
  const questionLine = document.getElementById('question');
  const form = document.getElementById('join');
  const width = canvas.width;
  const height = canvas.height;
  const gap = 8;
  let x = 0;
  let lastY = 85;
  let frozen = false;
  let socket = null;
  let openPoll = 0;
  // Filled in by the host as it serves the page.
  const joinUrl = '@JOIN_URL@';

  const say = (text) => { statusLine.textContent = text; };

  function drawSample(y, red) {
    if (frozen) return;
    const next = (x + 1) % width;
    ctx.fillStyle = '#000';
    ctx.fillRect(next, 0, Math.min(gap, width - next), height);
    if (next !== 0) {
      ctx.strokeStyle = red ? '#f33' : '#3f3';
      ctx.lineWidth = 2;
      ctx.beginPath();
      ctx.moveTo(x, lastY);
      ctx.lineTo(next, y);
      ctx.stroke();
    }
    x = next;
    lastY = y;
  }

  function showPoll(message) {
    openPoll = message.poll;
    pollBox.hidden = false;
    pollBox.querySelectorAll('button').forEach((b) => b.remove());
    questionLine.textContent = message.question;
    message.options.forEach((option, index) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = option;
      button.addEventListener('click', () => {
        if (!socket || openPoll !== message.poll) return;
        socket.send(JSON.stringify({ v: 1, t: 'answer', poll: message.poll, choice: index }));
        pollBox.querySelectorAll('button').forEach((b) => b.classList.remove('chosen'));
        button.classList.add('chosen');
      });
      pollBox.appendChild(button);
    });
  }

  const reasons = {
    code: '参加コードが違います', version: 'このページは古い版です。再読み込みしてください',
    full: '満員です', rejected: '参加が認められませんでした', flood: '送信が多すぎます',
    network: '教室のネットワークの外からは参加できません', malformed: '通信に誤りがありました',
    closed: '授業が終わりました',
  };

  function onMessage(event) {
    let m;
    try { m = JSON.parse(event.data); } catch (e) { return; }
    if (!m || m.v !== 1) return;
    switch (m.t) {
      case 'welcome': say('参加しました'); form.hidden = true; break;
      case 'pending': say('講師の承認を待っています…'); break;
      case 'refuse': say(reasons[m.reason] || '参加できませんでした'); break;
      case 'freeze': frozen = m.on === true; say(frozen ? '一時停止中' : '参加しました'); break;
      case 'samples':
        if (Array.isArray(m.y) && typeof m.marks === 'string') {
          m.y.forEach((y, i) => drawSample(Number(y), (Number(m.marks[i]) & 1) === 1));
        }
        break;
      case 'poll': showPoll(m); break;
      case 'poll_close': if (m.poll === openPoll) { openPoll = 0; pollBox.hidden = true; } break;
      default: break;
    }
  }

  function join() {
    const code = document.getElementById('code').value;
    const name = document.getElementById('name').value;
    if (socket) socket.close();
    socket = new WebSocket(joinUrl);
    say('接続しています…');
    socket.addEventListener('open', () => socket.send(JSON.stringify(
      { v: 1, t: 'hello', code: code, name: name, client: 'browser' })));
    socket.addEventListener('message', onMessage);
    socket.addEventListener('close', () => {
      if (!statusLine.textContent.startsWith('参加コード')) say('接続が切れました');
      form.hidden = false;
    });
  }

  form.addEventListener('submit', (event) => { event.preventDefault(); join(); });
  // The QR code carries the code; a link that carries a name too joins at once.
  const params = new URLSearchParams(location.search);
  if (params.get('code')) document.getElementById('code').value = params.get('code');
  if (params.get('name')) document.getElementById('name').value = params.get('name');
  if (params.get('code') && params.get('name')) join();
  ctx.fillStyle = '#000';
  ctx.fillRect(0, 0, width, height);
})();
