"""A stand-in for the Cognito identity pool that refuses what the tests ask it to refuse.

The request path chooses: "/refuse-credentials" (GetId answers an identity,
GetCredentialsForIdentity is refused) or "/refuse-all" (both are refused). Listens on
127.0.0.1 with a free port and prints "PORT <n>" on its first line of output.
"""
import json
from http.server import BaseHTTPRequestHandler, HTTPServer

REFUSAL = {"__type": "NotAuthorizedException", "message": "Invalid login token."}
IDENTITY = {"IdentityId": "us-east-1:00000000-0000-4000-8000-000000000000"}


class Handler(BaseHTTPRequestHandler):
    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", "0")))
        target = self.headers.get("X-Amz-Target", "")
        refuse = self.path == "/refuse-all" or target.endswith(".GetCredentialsForIdentity")
        body = json.dumps(REFUSAL if refuse else IDENTITY).encode()
        self.send_response(400 if refuse else 200)
        self.send_header("Content-Type", "application/x-amz-json-1.1")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    server = HTTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
