#pragma once

#include <QList>
#include <memory>
#include <vector>

#include "contactgroup.h"
#include "rest/contact.h"
#include "contacttesting.h"

// A small address book for the model tests, held without a ContactManager: groups in name order,
// members in nick order, as the manager hands them out.
class ModelBook
{
public:
    ContactGroup *group(const QString &name, bool isDefault = false)
    {
        groups.push_back(std::make_unique<ContactGroup>(name, isDefault));
        return groups.back().get();
    }
    Contact *add(ContactGroup *group, const Contact &record)
    {
        contacts.push_back(std::make_unique<Contact>(record));
        group->addContact(contacts.back().get());
        return contacts.back().get();
    }
    QList<ContactGroup *> list() const
    {
        QList<ContactGroup *> out;
        for (const auto &g : groups)
            out.append(g.get());
        return out;
    }

    // Family (Ann Lee: three numbers; bob: no phone), Golf (empty), Work (Cyd Ng, Dora Ann).
    static std::unique_ptr<ModelBook> sample()
    {
        using namespace contacttesting;
        auto book = std::make_unique<ModelBook>();
        ContactGroup *family = book->group(QStringLiteral("Family"), true);
        Contact ann = contact("ann", "", "Ann", "Lee");
        ann.setPhones({ phone(QStringLiteral("+100"), PhoneNumber::Cell),
            phone(QStringLiteral("+200"), PhoneNumber::Work),
            phone(QStringLiteral("+300"), PhoneNumber::Home) });
        book->add(family, ann);
        book->add(family, contact("bob", "", "Bob", "Ray"));
        book->group(QStringLiteral("Golf"));
        ContactGroup *work = book->group(QStringLiteral("Work"), true);
        book->add(work, contact("cyd", "", "Cyd", "Ng", { "+400" }));
        book->add(work, contact("dora", "", "Dora", "Ann", { "+500" }));
        return book;
    }

private:
    std::vector<std::unique_ptr<ContactGroup>> groups;
    std::vector<std::unique_ptr<Contact>> contacts;
};
