"""Creates the cloud account of the cloud tests on a moto server and prints its names as JSON.

In us-east-1: a user pool with an app client for the password and refresh-token flows, a
user with a permanent password, a user still in FORCE_CHANGE_PASSWORD (the sign-in answers a
challenge), an identity pool that knows the user pool, the design table, a second design
table whose first 2 MB of keys belong to another user (so a listing's first pages match
nothing), and the test table.
"""
import json
import sys

import boto3

REGION = "us-east-1"
PASSWORD = "Correct-Horse-9"
FOREIGN_ITEMS = 7
FOREIGN_ITEM_BYTES = 300 * 1024


def main():
    endpoint = sys.argv[1]
    if not endpoint.startswith(("http://127.0.0.1", "http://localhost")):
        sys.exit("refusing a non-loopback endpoint")

    def client(name):
        return boto3.client(name, endpoint_url=endpoint, region_name=REGION)

    idp = client("cognito-idp")
    pool_id = idp.create_user_pool(PoolName="tesk-users")["UserPool"]["Id"]
    client_id = idp.create_user_pool_client(
        UserPoolId=pool_id, ClientName="tesk",
        ExplicitAuthFlows=["ALLOW_USER_PASSWORD_AUTH", "ALLOW_REFRESH_TOKEN_AUTH"])["UserPoolClient"]["ClientId"]
    idp.admin_create_user(UserPoolId=pool_id, Username="alice", MessageAction="SUPPRESS")
    idp.admin_set_user_password(UserPoolId=pool_id, Username="alice", Password=PASSWORD, Permanent=True)
    idp.admin_create_user(UserPoolId=pool_id, Username="newcomer", TemporaryPassword=PASSWORD,
                          MessageAction="SUPPRESS")

    provider = "cognito-idp.%s.amazonaws.com/%s" % (REGION, pool_id)
    identity_pool_id = client("cognito-identity").create_identity_pool(
        IdentityPoolName="tesk_identities", AllowUnauthenticatedIdentities=False,
        CognitoIdentityProviders=[{"ProviderName": provider, "ClientId": client_id}])["IdentityPoolId"]

    dynamodb = client("dynamodb")

    def table(name, key):
        dynamodb.create_table(TableName=name, BillingMode="PAY_PER_REQUEST",
                              AttributeDefinitions=[{"AttributeName": key, "AttributeType": "S"}],
                              KeySchema=[{"AttributeName": key, "KeyType": "HASH"}])

    table("tesk-designs", "designId")
    table("tesk-designs-paged", "designId")
    table("tesk-test", "id")
    # '!' sorts before every hex digit, so these keys come before any identity's own designs.
    for n in range(FOREIGN_ITEMS):
        dynamodb.put_item(TableName="tesk-designs-paged", Item={
            "designId": {"S": "%s:!other_%02d" % (REGION, n)},
            "wellname": {"S": "foreign"},
            "padding": {"S": "x" * FOREIGN_ITEM_BYTES}})

    json.dump({"clientId": client_id, "identityPoolId": identity_pool_id, "loginProvider": provider,
               "designTable": "tesk-designs", "pagedDesignTable": "tesk-designs-paged", "testTable": "tesk-test",
               "user": "alice", "password": PASSWORD, "challengeUser": "newcomer"}, sys.stdout)


if __name__ == "__main__":
    main()
