// Lynkor's browser link. The browser starts Lynkor's host program
// (lynkor-browser-host) for this extension; through it Lynkor asks for the
// page the user is looking at and has bookmarks opened. Nothing else is
// read, and only web addresses are opened.
"use strict";

const HOST = "io.github.lynkor.browser";
const api = typeof browser !== "undefined" ? browser : chrome;
let port = null;

function openable(url) {
  try {
    const scheme = new URL(url).protocol;
    return scheme === "http:" || scheme === "https:" || scheme === "ftp:" || scheme === "file:";
  } catch (e) {
    return false;
  }
}

async function activeTab() {
  const [tab] = await api.tabs.query({active: true, lastFocusedWindow: true});
  return tab || null;
}

async function answer(request) {
  const tab = await activeTab();
  if (request.op === "windowInfo") {
    if (!tab || !tab.url)
      return {ok: false, error: "no page"};
    return {ok: true, url: tab.url, title: tab.title || ""};
  }
  if (request.op === "open") {
    if (typeof request.url !== "string" || !openable(request.url))
      return {ok: false, error: "not a web address"};
    if (request.where === "newWindow") {
      await api.windows.create({url: request.url, focused: true});
    } else if (request.where === "newTab" || !tab) {
      await api.tabs.create({url: request.url, active: true});
    } else {
      await api.tabs.update(tab.id, {url: request.url, active: true});
      await api.windows.update(tab.windowId, {focused: true});
    }
    return {ok: true};
  }
  if (request.op === "activate") {
    if (tab)
      await api.windows.update(tab.windowId, {focused: true});
    return {ok: true};
  }
  return {ok: false, error: "unknown request"};
}

function connect() {
  port = api.runtime.connectNative(HOST);
  port.onMessage.addListener(async (request) => {
    if (!request || typeof request.id !== "number")
      return;
    let reply;
    try {
      reply = await answer(request);
    } catch (e) {
      reply = {ok: false, error: String(e)};
    }
    reply.id = request.id;
    port.postMessage(reply);
  });
  // The host ended (Lynkor's host was removed or updated): try again later.
  port.onDisconnect.addListener(() => {
    port = null;
    setTimeout(connect, 5000);
  });
}

api.runtime.onStartup.addListener(() => {
  if (!port)
    connect();
});
connect();
