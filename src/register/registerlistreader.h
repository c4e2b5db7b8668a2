#pragma once

#include "db/arrivingrows.h"

#include <memory>

class RegisterFetcher;
class RegisterStatement;
struct RegisterAnswer;
struct RegisterRequest;

// The whole rows of the register's query for the list report, read as the register reads its
// grid: on a thread and a connection of their own, in parts.
class RegisterListReader : public ArrivingRows
{
    Q_OBJECT
public:
    // Start reading at once, with the connection's settings. With `firstPartAlone` the first
    // part is read on its own first (RegisterQuery::firstScreenfulIsQuick() says where that pays).
    RegisterListReader(Connection &connection, const RegisterStatement &statement, bool firstPartAlone,
                       QObject *parent = nullptr);
    RegisterListReader(Connection &connection, const QString &sql, QObject *parent = nullptr);
    // A reading still running is stopped on the server.
    ~RegisterListReader() override;

    // Rows in the first part: a page or two of the list.
    static constexpr int FirstPageRows = 64;

private:
    void start(Connection &connection, RegisterRequest request);
    void onAnswer(const RegisterAnswer &answer);

    std::unique_ptr<RegisterFetcher> m_fetcher;
};
