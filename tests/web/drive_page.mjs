// Drives the browser build in headless Chromium over the DevTools protocol:
// screenshots of held moments, a bad start time, and a played stretch
// stopped with Escape; the poster (POSTER_MOMENT, its canvas as
// web_poster.png) and the controls: play, Space, Left, Right, a click on the
// picture, the seek bar (the time it landed at in seek_time, its canvas as
// web_seek.png), full screen; then the demo second.zip served beside the page (a
// held moment, SECOND_MOMENT, as web_second.png, and a run to its own end)
// and the damaged zips browser_test.sh serves with it. Needs node's
// WebSocket (--experimental-websocket).
// Usage: SECOND_MOMENT=T POSTER_MOMENT=T node --experimental-websocket drive_page.mjs URL OUTDIR T...
import { spawn } from "node:child_process";
import { mkdtempSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const [base, outDir, ...moments] = process.argv.slice(2);
const chromium = process.env.CHROMIUM || "/usr/bin/chromium";
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
let failures = 0;
let passes = 0;
function check(ok, what) {
    console.log(`${ok ? "ok" : "FAILED"}: ${what}`);
    if (ok) ++passes; else ++failures;
}

const browser = spawn(chromium, [
    "--headless", "--no-sandbox", "--disable-quic", "--no-first-run", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--hide-scrollbars", "--window-size=640,480", "--remote-debugging-port=0",
    `--user-data-dir=${mkdtempSync(join(tmpdir(), "quarn-chromium-"))}`, "about:blank"],
    { stdio: ["ignore", "ignore", "pipe"] });
const endpoint = await new Promise((resolve, reject) => {
    let text = "";
    browser.stderr.on("data", (d) => {
        text += d;
        const m = text.match(/DevTools listening on (ws:\/\/\S+)/);
        if (m) resolve(m[1]);
    });
    browser.on("exit", () => reject(new Error("chromium ended: " + text.slice(-500))));
    setTimeout(() => reject(new Error("chromium did not start")), 30000);
});
const port = new URL(endpoint).port;
const pages = await (await fetch(`http://127.0.0.1:${port}/json/list`)).json();
const socket = new WebSocket(pages.find((p) => p.type === "page").webSocketDebuggerUrl);
await new Promise((r) => socket.addEventListener("open", r));
let nextId = 1;
const waiting = new Map();
socket.addEventListener("message", (event) => {
    const message = JSON.parse(event.data);
    if (message.id && waiting.has(message.id)) {
        waiting.get(message.id)(message);
        waiting.delete(message.id);
    }
});
function send(method, params = {}) {
    const id = nextId++;
    socket.send(JSON.stringify({ id, method, params }));
    return new Promise((resolve) => waiting.set(id, (m) => resolve(m.result || {})));
}
async function evaluate(expression) {
    const r = await send("Runtime.evaluate", { expression, returnByValue: true });
    return r.result ? r.result.value : undefined;
}
// Waits for the page's state to become one of states; returns the last seen.
async function waitForState(states, seconds) {
    let state;
    for (let i = 0; i < seconds * 10; ++i) {
        state = await evaluate("document.body.dataset.state");
        if (states.includes(state)) return state;
        await sleep(100);
    }
    return state;
}
async function open(query) {
    await send("Page.navigate", { url: `${base}${query}` });
    await sleep(300);
}

await send("Page.enable");
await send("Emulation.setDeviceMetricsOverride", { width: 640, height: 480, deviceScaleFactor: 1, mobile: false });

for (const t of moments) {
    await open(`?start=${t}&paused=1`);
    const state = await waitForState(["held", "failed", "ended"], 120);
    check(state === "held", `t=${t} is held (state ${state})`);
    if (state !== "held") console.log(await evaluate("document.getElementById('messages').textContent"));
    const shot = await send("Page.captureScreenshot", { format: "png", clip: { x: 0, y: 0, width: 640, height: 480, scale: 1 } });
    writeFileSync(join(outDir, `web_${t}.png`), Buffer.from(shot.data || "", "base64"));
}

// The player's log lines are shown as log lines, not in the colour of errors.
const linesOf = (kind) => evaluate(`Array.from(document.querySelectorAll('#messages .${kind}'), (e) => e.textContent).join('')`);
const logged = await linesOf("log");
const erred = await linesOf("error");
check(logged.includes("Could not find value for parameter ") && !erred.includes("Could not find value"),
      `log lines are shown as log (log ${JSON.stringify(logged.slice(0, 200))}, errors ${JSON.stringify(erred)})`);

// A start time the desktop player refuses is refused in the page too, with
// the same words.
await open("?start=soon&paused=1");
const refused = await waitForState(["failed", "held"], 60);
const said = await evaluate("document.getElementById('messages').textContent");
const saidAsError = await linesOf("error");
check(refused === "failed" && saidAsError.includes("quarn2: --start needs a time in seconds, 0 or more, not 'soon'"),
      `a bad start time is shown in the page (state ${refused}, messages ${JSON.stringify(said)})`);

// Played: click to play, a stretch of real time, then Escape stops it.
await open("?start=60");
await waitForState(["ready"], 60);
for (const type of ["mousePressed", "mouseReleased"])
    await send("Input.dispatchMouseEvent", { type, x: 320, y: 240, button: "left", clickCount: 1 });
const playing = await waitForState(["playing", "failed"], 60);
check(playing === "playing", `a click plays (state ${playing})`);
await sleep(10000);
const title = await evaluate("document.title");
console.log(`title after 10 s of play: ${title}`);
const rate = /fps: ([0-9.]+)/.exec(title || "");
check(rate !== null && Number(rate[1]) > 0, "frames are drawn while playing");
for (const type of ["rawKeyDown", "keyUp"])
    await send("Input.dispatchKeyEvent", { type, key: "Escape", code: "Escape", windowsVirtualKeyCode: 27, nativeVirtualKeyCode: 27 });
const stopped = await waitForState(["stopped"], 30);
check(stopped === "stopped", `Escape stops (state ${stopped})`);

// The page as a video page. Its poster is the player's held frame at
// ?poster=T; the canvas is read (the play button and the controls lie over
// it in the page) and browser_test.sh compares it with the desktop's frame.
const posterMoment = Number(process.env.POSTER_MOMENT || "207");
await open(`?poster=${posterMoment}`);
const posterState = await waitForState(["ready", "failed"], 120);
const posterCover = await evaluate("document.getElementById('cover').textContent");
const posterAt = await evaluate("quarn.time()");
check(posterState === "ready" && posterCover === "click to play" && posterAt === posterMoment,
      `the poster holds t=${posterMoment} under "click to play" (state ${posterState}, cover ${JSON.stringify(posterCover)}, time ${posterAt})`);
console.log(`page load to poster: ${Math.round(await evaluate("quarn.posterTime()"))} ms`);
const saveCanvas = async (name) => {
    const url = (await evaluate("quarn.picture()")) || "";
    writeFileSync(join(outDir, name), Buffer.from(url.replace(/^data:image\/png;base64,/, ""), "base64"));
};
await saveCanvas("web_poster.png");
const clock = () => evaluate("document.getElementById('clock').textContent");
const posterClock = await clock();
check(posterClock === "3:27 / 4:15", `the clock shows the poster's time and the demo's length (${JSON.stringify(posterClock)})`);

async function press(key, code, keyCode) {
    for (const type of ["rawKeyDown", "keyUp"])
        await send("Input.dispatchKeyEvent", { type, key, code, windowsVirtualKeyCode: keyCode, nativeVirtualKeyCode: keyCode });
    await sleep(100);
}
const space = () => press(" ", "Space", 32);
const left = () => press("ArrowLeft", "ArrowLeft", 37);
const right = () => press("ArrowRight", "ArrowRight", 39);
async function clickAt(x, y) {
    await send("Input.dispatchMouseEvent", { type: "mouseMoved", x, y });
    for (const type of ["mousePressed", "mouseReleased"])
        await send("Input.dispatchMouseEvent", { type, x, y, button: "left", clickCount: 1 });
}
const boxOf = (id) => evaluate(`(() => { const b = document.getElementById('${id}').getBoundingClientRect();
    return { x: b.left, y: b.top, width: b.width, height: b.height }; })()`);

// The play button plays from the start (0: none given), not from the poster.
const playBox = await boxOf("play");
await clickAt(playBox.x + playBox.width / 2, playBox.y + playBox.height / 2);
const played = await waitForState(["playing", "failed"], 60);
await sleep(1500);
const early = await evaluate("quarn.time()");
check(played === "playing" && early > 0 && early < 60, `the play button plays from the start (state ${played}, time ${early})`);
// Space pauses: the time holds; Right and Left move it by a second each
// way, exactly; Space plays on from there.
await space();
const pausedState = await evaluate("document.body.dataset.state");
const heldAt = await evaluate("quarn.time()");
await sleep(500);
const stillAt = await evaluate("quarn.time()");
check(pausedState === "held" && stillAt === heldAt, `Space pauses (state ${pausedState}, time ${heldAt} then ${stillAt})`);
await right();
const forward = await evaluate("quarn.time()");
await left();
await left();
const back = await evaluate("quarn.time()");
check(Math.abs(forward - (heldAt + 1)) < 1e-9 && Math.abs(back - (heldAt - 1)) < 1e-9,
      `Right and Left seek by a second (from ${heldAt} to ${forward}, then ${back})`);
await space();
const resumed = await evaluate("document.body.dataset.state");
// The pointer leaves the play button for the picture, where it rests.
await send("Input.dispatchMouseEvent", { type: "mouseMoved", x: 320, y: 150 });
await sleep(3500);
const later = await evaluate("quarn.time()");
check(resumed === "playing" && later > back + 1, `Space plays on (state ${resumed}, time ${back} then ${later})`);
// Playing, the controls hide once the mouse rests and show when it moves.
const idle = await evaluate("document.body.classList.contains('idle')");
await send("Input.dispatchMouseEvent", { type: "mouseMoved", x: 300, y: 200 });
await sleep(100);
const woken = await evaluate("!document.body.classList.contains('idle')");
check(idle && woken, `playing, the controls hide at rest and show on a move (hidden ${idle}, shown again ${woken})`);
// Right while playing jumps on a second.
const beforeJump = await evaluate("quarn.time()");
await right();
const afterJump = await evaluate("quarn.time()");
check(afterJump - beforeJump >= 1 && afterJump - beforeJump < 3, `Right seeks while playing (${beforeJump} to ${afterJump})`);
// A click on the picture pauses, as on a video.
await clickAt(320, 150);
const clickedState = await evaluate("document.body.dataset.state");
check(clickedState === "held", `a click on the picture pauses (state ${clickedState})`);

// A press on the seek bar a quarter of the way along, after one three
// quarters along, lands where it was pressed, within a pixel's worth of
// time; its frame (a seek back from a later moment, whose sync events must
// be undone) is compared with the desktop's by browser_test.sh.
const barBox = await boxOf("bar");
const length = await evaluate("quarn.length()");
await clickAt(Math.round(barBox.x + (barBox.width * 3) / 4), barBox.y + barBox.height / 2);
await sleep(200);
const pressX = Math.round(barBox.x + barBox.width / 4);
await clickAt(pressX, barBox.y + barBox.height / 2);
await sleep(200);
const landed = await evaluate("quarn.time()");
const expected = ((pressX - barBox.x) / barBox.width) * length;
check(length === 255 && Math.abs(landed - expected) <= length / barBox.width,
      `the seek bar lands where pressed (at ${landed}, expected ${expected}, length ${length})`);
writeFileSync(join(outDir, "seek_time"), String(landed));
await saveCanvas("web_seek.png");

// The full-screen button and F.
const fullBox = await boxOf("full");
await clickAt(fullBox.x + fullBox.width / 2, fullBox.y + fullBox.height / 2);
await sleep(500);
const full = await evaluate("document.fullscreenElement !== null");
await press("f", "KeyF", 70);
await sleep(500);
const windowed = await evaluate("document.fullscreenElement === null");
check(full && windowed, `the full-screen button enters full screen and F leaves it (${full}, ${windowed})`);

// A visitor's demo, given to the same page as a zip beside it.
const secondMoment = process.env.SECOND_MOMENT || "2";
await open(`?demo=second.zip&start=${secondMoment}&paused=1`);
const heldSecond = await waitForState(["held", "failed", "ended"], 120);
// No error lines: its OBJ cube was read by the page's own Assimp.
const secondErrors = await linesOf("error");
check(heldSecond === "held" && secondErrors === "",
      `second.zip at t=${secondMoment} is held, without errors (state ${heldSecond}, errors ${JSON.stringify(secondErrors)})`);
const secondShot = await send("Page.captureScreenshot", { format: "png", clip: { x: 0, y: 0, width: 640, height: 480, scale: 1 } });
writeFileSync(join(outDir, "web_second.png"), Buffer.from(secondShot.data || "", "base64"));

// Dropped onto the page as a zip, it is offered; played, it ends by itself
// where its sync file's "end" says (4 s).
await open("");
await waitForState(["ready"], 60);
await send("Runtime.evaluate", { awaitPromise: true, expression: `fetch("second.zip").then((r) => r.blob()).then((zip) => {
    const dropped = new DataTransfer();
    dropped.items.add(new File([zip], "second.zip"));
    document.dispatchEvent(new DragEvent("drop", { dataTransfer: dropped, bubbles: true, cancelable: true }));
})` });
const offered = await waitForState(["ready", "failed"], 60);
const offer = await evaluate("document.getElementById('cover').textContent");
check(offered === "ready" && offer === "click to play second.zip",
      `a dropped zip is offered (state ${offered}, cover ${JSON.stringify(offer)})`);
for (const type of ["mousePressed", "mouseReleased"])
    await send("Input.dispatchMouseEvent", { type, x: 320, y: 240, button: "left", clickCount: 1 });
const secondEnd = await waitForState(["ended", "failed"], 60);
const cover = await evaluate("document.getElementById('cover').textContent");
check(secondEnd === "ended" && cover.startsWith("the end"),
      `second.zip plays to its own end (state ${secondEnd}, cover ${JSON.stringify(cover)})`);
// A click on the end plays it again from 0, in the same page.
for (const type of ["mousePressed", "mouseReleased"])
    await send("Input.dispatchMouseEvent", { type, x: 320, y: 240, button: "left", clickCount: 1 });
const again = await waitForState(["playing", "failed"], 30);
const againAt = await evaluate("quarn.time()");
check(again === "playing" && againAt < 2, `the end plays again from 0 (state ${again}, time ${againAt})`);

// Zips the page cannot play are named in it, with the reason.
for (const [zip, words] of [["cut.zip", "is not a zip archive, or is cut short"],
                            ["flipped.zip", "is damaged: iDemo.dat does not match its checksum"],
                            ["noscript.zip", "holds no iDemo.dat"],
                            ["missing.zip", "cannot be fetched (HTTP 404)"]]) {
    await open(`?demo=${zip}`);
    const state = await waitForState(["failed", "ready"], 60);
    const errors = await linesOf("error");
    const coverText = await evaluate("document.getElementById('cover').textContent");
    check(state === "failed" && errors.includes(`${zip} ${words}`) && coverText === "the demo could not load",
          `${zip} is refused in the page (state ${state}, errors ${JSON.stringify(errors)}, cover ${JSON.stringify(coverText)})`);
}

browser.kill();
console.log(`${passes} passed, ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
