#include "Platform/LibsecretBackend.h"

#include <libsecret/secret.h>

namespace platform::secrets {

using tunnelkit::Failure;
using tunnelkit::Result;
using tunnelkit::SecretError;

namespace {

constexpr const char* serviceAttribute = "service";
constexpr const char* accountAttribute = "account";

struct HashTableRelease {
    void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
using Attributes = std::unique_ptr<GHashTable, HashTableRelease>;

struct ValueRelease {
    void operator()(SecretValue* value) const { secret_value_unref(value); }
};
using Value = std::unique_ptr<SecretValue, ValueRelease>;

struct ListRelease {
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using Items = std::unique_ptr<GList, ListRelease>;

// Owns the error libsecret reports through its GError** out-parameter.
class ErrorSlot {
  public:
    ErrorSlot() = default;
    ~ErrorSlot() {
        if (error_) {
            g_error_free(error_);
        }
    }
    ErrorSlot(const ErrorSlot&) = delete;
    ErrorSlot& operator=(const ErrorSlot&) = delete;

    GError** out() { return &error_; }
    bool isSet() const { return error_ != nullptr; }
    SecretError secretError() const {
        if (!error_) {
            return SecretError{0, "The secret service gave no answer"};
        }
        return SecretError{static_cast<int32_t>(error_->code), error_->message ? error_->message : ""};
    }

  private:
    GError* error_ = nullptr;
};

// Keys and values are copied into the table, so the views may end after the call.
Attributes makeAttributes(std::string_view service, std::optional<std::string_view> account) {
    Attributes attributes(g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free));
    g_hash_table_insert(attributes.get(), g_strdup(serviceAttribute),
                        g_strndup(service.data(), service.size()));
    if (account) {
        g_hash_table_insert(attributes.get(), g_strdup(accountAttribute),
                            g_strndup(account->data(), account->size()));
    }
    return attributes;
}

} // namespace

struct LibsecretBackend::Schema {
    SecretSchema* schema;
    explicit Schema(const std::string& name)
        : schema(secret_schema_new(name.c_str(), SECRET_SCHEMA_NONE, serviceAttribute,
                                   SECRET_SCHEMA_ATTRIBUTE_STRING, accountAttribute,
                                   SECRET_SCHEMA_ATTRIBUTE_STRING, nullptr)) {}
    ~Schema() { secret_schema_unref(schema); }
    Schema(const Schema&) = delete;
    Schema& operator=(const Schema&) = delete;
};

LibsecretBackend::LibsecretBackend(const std::string& schemaName)
    : schema_(std::make_unique<Schema>(schemaName)) {}

LibsecretBackend::~LibsecretBackend() = default;

Result<void, SecretError> LibsecretBackend::store(std::string_view service, std::string_view account,
                                                  std::string_view label, std::string_view secret) {
    const auto attributes = makeAttributes(service, account);
    const std::string labelText(label);
    Value value(secret_value_new(secret.data(), static_cast<gssize>(secret.size()), "text/plain"));
    ErrorSlot error;
    const bool stored =
        secret_password_storev_binary_sync(schema_->schema, attributes.get(), SECRET_COLLECTION_DEFAULT,
                                           labelText.c_str(), value.get(), nullptr, error.out());
    if (!stored || error.isSet()) {
        return Failure(error.secretError());
    }
    return {};
}

Result<std::optional<std::string>, SecretError> LibsecretBackend::lookup(std::string_view service,
                                                                         std::string_view account) {
    const auto attributes = makeAttributes(service, account);
    ErrorSlot error;
    Value value(secret_password_lookupv_binary_sync(schema_->schema, attributes.get(), nullptr, error.out()));
    if (error.isSet()) {
        return Failure(error.secretError());
    }
    if (!value) {
        return std::optional<std::string>{};
    }
    gsize length = 0;
    const gchar* bytes = secret_value_get(value.get(), &length);
    return std::optional<std::string>(std::string(bytes, length));
}

Result<std::vector<std::string>, SecretError> LibsecretBackend::accounts(std::string_view service) {
    const auto attributes = makeAttributes(service, std::nullopt);
    ErrorSlot error;
    const auto flags = static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK);
    // The service's own search: the password search of this libsecret version leaks for every item.
    Items found(
        secret_service_search_sync(nullptr, schema_->schema, attributes.get(), flags, nullptr, error.out()));
    if (error.isSet()) {
        return Failure(error.secretError());
    }
    std::vector<std::string> accounts;
    for (GList* entry = found.get(); entry; entry = entry->next) {
        Attributes itemAttributes(secret_item_get_attributes(SECRET_ITEM(entry->data)));
        if (!itemAttributes) {
            continue;
        }
        const auto* account =
            static_cast<const gchar*>(g_hash_table_lookup(itemAttributes.get(), accountAttribute));
        if (account) {
            accounts.emplace_back(account);
        }
    }
    return accounts;
}

Result<void, SecretError> LibsecretBackend::clear(std::string_view service, std::string_view account) {
    const auto attributes = makeAttributes(service, account);
    ErrorSlot error;
    secret_password_clearv_sync(schema_->schema, attributes.get(), nullptr, error.out());
    if (error.isSet()) {
        return Failure(error.secretError());
    }
    return {};
}

} // namespace platform::secrets
