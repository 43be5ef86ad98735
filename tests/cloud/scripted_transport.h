#pragma once
// Test helper: a transport that answers from a script, a clock that moves only when the script
// says so, and a retry wait that moves that clock instead of sleeping.
#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "cloud/aws/client_config.h"
#include "cloud/aws/http_transport.h"

struct ScriptedAnswer {
    long status = 200;
    std::string body = "{}";
    std::map<std::string, std::string> headers;  // names lower-case, as the transport gives them
    int transportCode = 0;
    // How long the request takes on the script's clock; cut to the request's own time limit,
    // which then ends it with a time-out, as curl would.
    std::chrono::milliseconds takes{0};
};

inline ScriptedAnswer Json(long status, std::string body) {
    ScriptedAnswer answer;
    answer.status = status;
    answer.body = std::move(body);
    return answer;
}

inline ScriptedAnswer TransportFailure(int code) {
    ScriptedAnswer answer;
    answer.status = 0;
    answer.body.clear();
    answer.transportCode = code;
    return answer;
}

struct Script {
    std::vector<ScriptedAnswer> answers;  // given in turn; the last one again once they run out
    std::vector<HttpRequest> sent;
    std::vector<std::chrono::milliseconds> waits;
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
};

inline Script& TheScript() {
    static Script script;
    return script;
}

inline void ScriptedSend(const HttpRequest& request, HttpResponse* response) {
    Script& script = TheScript();
    script.sent.push_back(request);
    const ScriptedAnswer& answer = script.answers.at(std::min(script.sent.size(), script.answers.size()) - 1);
    const std::chrono::milliseconds limit(request.totalTimeoutMs);
    *response = HttpResponse();
    if (answer.takes > limit) {
        script.now += limit;
        response->transportCode = 28;
        response->transportMessage = "Timeout was reached";
        return;
    }
    script.now += answer.takes;
    response->transportCode = answer.transportCode;
    response->transportMessage = answer.transportCode != 0 ? "scripted failure" : "";
    response->status = answer.status;
    response->headers = answer.headers;
    response->body = answer.body;
}

inline void ScriptedWait(std::chrono::milliseconds wait) {
    TheScript().waits.push_back(wait);
    TheScript().now += wait;
}

inline std::chrono::steady_clock::time_point ScriptedNow() { return TheScript().now; }

// Starts a new script and points the configuration at it.
inline void UseScript(AwsClientConfig& config, std::vector<ScriptedAnswer> answers) {
    TheScript() = Script();
    TheScript().answers = std::move(answers);
    config.transport = &ScriptedSend;
    config.retryWait = &ScriptedWait;
    config.steadyNow = &ScriptedNow;
}
