// Printing raw from a web page through Vantrel's local endpoint ("vantrel --serve").
// A plain ES module, no build step:
//
//   import { Vantrel } from "./vantrel.js";
//   const vantrel = new Vantrel({ token: "…" });   // vantrel --serve --show-token
//   const { jobs } = await vantrel.print("^XA^FO50,50^FDHello^FS^XZ",
//                                        { printer: "Label_Printer", key: crypto.randomUUID() });
//   const { state } = await vantrel.job(jobs[0], { wait: 10 });   // "completed"
//
// The page's origin must be allowed (vantrel --serve --allow-origin https://your.page).

export class VantrelError extends Error {
  constructor(status, message, answer) {
    super(message);
    this.name = "VantrelError";
    this.status = status;  // the HTTP status: 401 token, 403 origin, 404 printer, 429 too fast...
    this.answer = answer;  // the endpoint's JSON answer, when it gave one
  }
}

export class Vantrel {
  // url: where the endpoint listens; token: the user's token.
  constructor({ url = "http://127.0.0.1:9632", token } = {}) {
    this.url = url.replace(/\/+$/, "");
    this.token = token;
  }

  // The printers: [{ name, default }].
  async printers() {
    return (await this.#ask("GET", "/printers")).printers;
  }

  // Prints bytes (a string, a Uint8Array, an ArrayBuffer or a Blob) unchanged. A key makes a
  // retry of the same print (after a network error, a reload) print nothing more: it answers
  // the first print's jobs. Resolves to { printer, jobs: [id per copy], repeated? }.
  async print(bytes, { printer, copies, name, key } = {}) {
    const query = new URLSearchParams();
    if (printer !== undefined) query.set("printer", printer);
    if (copies !== undefined) query.set("copies", String(copies));
    if (name !== undefined) query.set("name", name);
    const headers = { "Content-Type": "application/octet-stream" };
    if (key !== undefined) headers["Idempotency-Key"] = key;
    const search = query.toString();
    return this.#ask("POST", "/jobs" + (search ? "?" + search : ""), bytes, headers);
  }

  // A job's state: { id, printer, state, reason, printerPaused }; with wait, once it ended or
  // that many seconds (at most 300) passed. state is one of pending, held, processing, stopped,
  // completed, cancelled, aborted, unknown.
  async job(id, { wait } = {}) {
    const query = wait === undefined ? "" : "?wait=" + encodeURIComponent(wait);
    return this.#ask("GET", "/jobs/" + encodeURIComponent(id) + query);
  }

  async #ask(method, path, body, headers = {}) {
    const response = await fetch(this.url + path, {
      method,
      body,
      headers: { ...headers, Authorization: "Bearer " + this.token },
      cache: "no-store",
      credentials: "omit",
    });
    let answer = null;
    try {
      answer = await response.json();
    } catch {
      // no JSON: the status says it
    }
    if (!response.ok) {
      throw new VantrelError(response.status, (answer && answer.error) || response.statusText,
                             answer);
    }
    return answer;
  }
}
