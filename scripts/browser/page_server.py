#!/usr/bin/env python3
# The web pages of the browser test: serves the files of a folder on a port of the loopback, and
# keeps what a page reports (POST /report/NAME) in the folder as NAME.json.
# Usage: page_server.py FOLDER PORT_FILE   (writes the port it took into PORT_FILE)
import http.server
import os
import sys

folder, port_file = sys.argv[1], sys.argv[2]


class Pages(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=folder, **kwargs)

    def do_POST(self):
        name = os.path.basename(self.path)
        if not self.path.startswith("/report/") or not name.isidentifier():
            self.send_error(404)
            return
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with open(os.path.join(folder, name + ".json"), "wb") as out:
            out.write(body)
        self.send_response(204)
        self.end_headers()

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Pages)
with open(port_file, "w") as out:
    out.write(str(server.server_address[1]))
server.serve_forever()
