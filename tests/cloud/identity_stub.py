"""A stand-in for the Cognito identity pool that refuses or stalls as the tests ask it to.

The request path chooses: "/refuse-credentials" (GetId answers an identity,
GetCredentialsForIdentity is refused), "/refuse-all" (both are refused), or
"/unavailable-twice/<tag>" (the first two requests of each tag are answered 503, the later ones
with an identity and credentials; a GET of the path tells how many requests the tag has seen).
Listens on 127.0.0.1 with a free port and prints "PORT <n>" on its first line of output.
"""
import json
from http.server import BaseHTTPRequestHandler, HTTPServer

REFUSAL = {"__type": "NotAuthorizedException", "message": "Invalid login token."}
UNAVAILABLE = {"__type": "ServiceUnavailable", "message": "Try again."}
IDENTITY = {"IdentityId": "us-east-1:00000000-0000-4000-8000-000000000000"}
CREDENTIALS = dict(IDENTITY, Credentials={"AccessKeyId": "ASIASTANDIN", "SecretKey": "stand-in-secret",
                                          "SessionToken": "stand-in-token"})

seen = {}


class Handler(BaseHTTPRequestHandler):
    def answer(self, status, body):
        data = json.dumps(body).encode()
        self.send_response(status)
        self.send_header("Content-Type", "application/x-amz-json-1.1")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        self.answer(200, {"requests": seen.get(self.path, 0)})

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", "0")))
        target = self.headers.get("X-Amz-Target", "")
        if self.path.startswith("/unavailable-twice/"):
            seen[self.path] = seen.get(self.path, 0) + 1
            if seen[self.path] <= 2:
                self.answer(503, UNAVAILABLE)
            else:
                self.answer(200, CREDENTIALS if target.endswith(".GetCredentialsForIdentity") else IDENTITY)
            return
        refuse = self.path == "/refuse-all" or target.endswith(".GetCredentialsForIdentity")
        self.answer(400 if refuse else 200, REFUSAL if refuse else IDENTITY)

    def log_message(self, *args):
        pass


def main():
    server = HTTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
