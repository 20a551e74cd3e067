// What the daemon answers to each request. Requests (dictionaries):
//   {op: "keys", domain}                      -> {ok, keys: the domain's keys, sorted}
//   {op: "copy", domain, keys?}               -> {ok, values: those keys' values (all without
//                                                 keys)}
//   {op: "set", domain, set?, remove?, fault?} -> {ok} once the domain's file holds the change
//   {op: "status"}                            -> {ok, pid, domains: the domains read so far}
//   {op: "leave"}                             -> {ok, exiting}: the client is going; the daemon
//                                                 ends when it was the last (see server.h)
// Anything else, or a request whose arguments have the wrong types, gets {ok: false, error}.
#pragma once

#include "platform/objc.h"
#include "prefsd/domain_store.h"

namespace qv::host::prefsd {

// The reply (autoreleased) to a decoded request, or to nil for a payload that held no
// dictionary. "leave" is answered by the server, which knows its clients.
id answerRequest(DomainStore& store, id request);

// The reply for a refused request.
id errorReply(const std::string& message);

// The request's "op" ("" when absent or not a string).
std::string requestOp(id request);

}  // namespace qv::host::prefsd
