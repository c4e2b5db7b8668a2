#include "register/registerlistreader.h"

#include "db/connection.h"
#include "register/registerfetcher.h"

#include <limits>

RegisterListReader::RegisterListReader(Connection &connection, const QString &sql, bool firstPartAlone,
                                       QObject *parent)
    : ArrivingRows(connection, parent)
{
    query().setSql(sql);
    m_fetcher = std::make_unique<RegisterFetcher>(connection.params(), [this](RegisterAnswer answer) {
        QMetaObject::invokeMethod(
            this, [this, answer = std::move(answer)] { onAnswer(answer); }, Qt::QueuedConnection);
    });
    m_fetcher->setPartRows(FirstPartRows, std::numeric_limits<int>::max());
    RegisterRequest request;
    request.generation = 1;
    request.sql = sql;
    request.readDetails = false;
    request.quickFirstPart = firstPartAlone;
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
