#pragma once

#include <libsecret/secret.h>
#include <optional>
#include <string>

namespace testing_support {

// Locks the secret service's default collection: nothing can then be stored without a prompt, and
// no prompt can be shown in a test. The error's text when that fails.
inline std::optional<std::string> lockDefaultCollection() {
    GError* error = nullptr;
    const auto failure = [&](const char* what) {
        std::string text = std::string(what) + (error ? std::string(": ") + error->message : "");
        if (error) {
            g_error_free(error);
        }
        return std::optional(text);
    };
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &error);
    if (!service) {
        return failure("no secret service");
    }
    SecretCollection* collection = secret_collection_for_alias_sync(service, SECRET_COLLECTION_DEFAULT,
                                                                    SECRET_COLLECTION_NONE, nullptr, &error);
    if (!collection) {
        g_object_unref(service);
        return failure("no default collection");
    }
    GList* objects = g_list_append(nullptr, collection);
    const gint locked = secret_service_lock_sync(service, objects, nullptr, nullptr, &error);
    g_list_free(objects);
    g_object_unref(collection);
    g_object_unref(service);
    if (locked != 1) {
        return failure("not locked");
    }
    return std::nullopt;
}

} // namespace testing_support
