#include "register/registerlistreader.h"

#include "db/connection.h"
#include "register/registerfetcher.h"
#include "register/registerstatement.h"

#include <limits>

RegisterListReader::RegisterListReader(Connection &connection, const RegisterStatement &statement,
                                       bool firstPartAlone, QObject *parent)
    : ArrivingRows(connection, parent)
{
    RegisterRequest request;
    request.sql = statement.sql();
    if (firstPartAlone)
        request.firstRowsAlone = statement;
    start(connection, std::move(request));
}

RegisterListReader::RegisterListReader(Connection &connection, const QString &sql, QObject *parent)
    : ArrivingRows(connection, parent)
{
    RegisterRequest request;
    request.sql = sql;
    start(connection, std::move(request));
}

void RegisterListReader::start(Connection &connection, RegisterRequest request)
{
    query().setSql(request.sql);
    m_fetcher = std::make_unique<RegisterFetcher>(connection.params(), [this](RegisterAnswer answer) {
        QMetaObject::invokeMethod(
            this, [this, answer = std::move(answer)] { onAnswer(answer); }, Qt::QueuedConnection);
    });
    m_fetcher->setPartRows(FirstPageRows, std::numeric_limits<int>::max());
    request.generation = 1;
    request.readDetails = false;
    m_fetcher->submit(std::move(request));
}

RegisterListReader::~RegisterListReader() = default;

void RegisterListReader::onAnswer(const RegisterAnswer &answer)
{
    if (answer.rows)
        addRows(std::move(*answer.rows), answer.first, answer.complete);
    else
        fail(answer.error, answer.errorNumber);
}
